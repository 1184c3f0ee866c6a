#pragma once
// Every control of the toolkit (the core's classes are in ZuntUI.h).
#include "CKeyboardTips.h"
#include "KeyboardCtrl.h"
