#pragma once
#include <functional>

#include "MControl.h"

// The group rule of the radio-style buttons: the members of a group are the controls of the
// same list as `self` (the dialog's top-level controls when the owner's class name is
// "MDialog", otherwise the owner's controls list) that answer IsClass(className) and are
// not `self`. `visit` is called for each of them, outside every list lock. Returns 0 when
// `self` has no owner (or a dialog owner without a paint manager), else 1.
int ForEachGroupMember(MControl* self, const wchar_t* className, const std::function<void(MControl*)>& visit);
