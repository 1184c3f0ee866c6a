#pragma once
// Every control of the toolkit (the core is in ZuntUI.h).
#include "CEditWnd.h"
#include "CLogonEdit.h"
#include "CSpinButton.h"
#include "MEdit.h"
#include "MEditEx.h"
#include "MRichEdit.h"
#include "MScroll.h"
#include "MSlider.h"
#include "MSpinButton.h"
