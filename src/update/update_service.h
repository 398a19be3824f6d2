#pragma once

#include <string>

#include "update/http_client.h"

// Where the update service is and how it is reached.
namespace brontal {

// The service's address, ending in "/". BRONTAL_UPDATE_URL replaces it (a
// local service for tests and trials); the built-in one is https.
std::string UpdateServiceUrl();

// The client settings of every update request: the defaults, trusting the
// authorities of SSL_CERT_FILE instead of the system's when it is set (the
// usual OpenSSL variable, so a local service with its own certificate can
// stand in; nothing is ever trusted without a certificate check).
HttpClientSettings UpdateClientSettings();

}  // namespace brontal
