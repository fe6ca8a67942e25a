#pragma once

#include "settings/yIniServices.h"

class MsgBox;

// The real platform pieces for yIni. main.cpp, before the main window loads:
//     yIni::Install(yIniPlatform::Services(msgBox));
// The services live until the process ends; msgBox must too.
class yIniPlatform {
public:
    static yIniServices Services(MsgBox &msgBox);
};
