#pragma once

namespace brontal {

class CControlFactory;

// Every program control class the skin may name, registered with the toolkit
// at start-up; classes join this list as their steps land.
void RegisterProgramControls(CControlFactory& factory);

}  // namespace brontal
