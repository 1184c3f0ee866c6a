#pragma once
#include "MControl.h"

// The class-name factory shared by panels and windows. Constructs (does not attach) a
// control of a known class name with the arguments its class takes; null for an empty or
// unknown name, for a class that the asked factory does not offer (`windowFactory` 1: a
// window's top level, 0: a panel) and for a class this build does not contain.
MControl* ConstructControl(int windowFactory, MObject* parent, const wchar_t* className, UINT id, CRect rect,
                           const wchar_t* title, int visible, int enabled);

// Constructs (does not attach) a part that a control builds for itself by class name, such
// as the scroll bars of a panel: any class of the table that this build contains, whether
// or not a factory offers it. Null for an unknown name or a class not in this build.
MControl* ConstructPart(MObject* parent, const wchar_t* className, UINT id, CRect rect, int visible);
