#include "text_file_card.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace brontal::test {

std::optional<std::vector<CardElement>> LoadCard(const std::string& path) {
  std::ifstream file(path);
  if (!file) return std::nullopt;
  std::vector<CardElement> elements;
  std::string line;
  while (std::getline(file, line)) {
    if (line.empty()) continue;
    std::istringstream fields(line);
    CardElement element;
    std::string min, max, db, values;
    std::getline(fields, element.name, '|');
    std::getline(fields, min, '|');
    std::getline(fields, max, '|');
    std::getline(fields, db, '|');
    std::getline(fields, values);
    element.min = std::stol(min);
    element.max = std::stol(max);
    if (const std::size_t colon = db.find(':'); colon != std::string::npos)
      element.db = std::pair(std::stoi(db.substr(0, colon)), std::stoi(db.substr(colon + 1)));
    std::istringstream numbers(values);
    for (long value = 0; numbers >> value;) element.values.push_back(value);
    elements.push_back(std::move(element));
  }
  return elements;
}

void SaveCard(const std::string& path, const std::vector<CardElement>& elements) {
  std::ostringstream text;
  for (const CardElement& element : elements) {
    text << element.name << '|' << element.min << '|' << element.max << '|';
    if (element.db)
      text << element.db->first << ':' << element.db->second;
    else
      text << '-';
    text << '|';
    for (const long value : element.values) text << value << ' ';
    text << '\n';
  }
  const std::string fresh = path + ".new";
  std::ofstream(fresh) << text.str();
  std::rename(fresh.c_str(), path.c_str());
}

}  // namespace brontal::test
