#pragma once
// Every control of the toolkit, for programs that construct controls directly.
#include "ZuntUI.h"

#include "CCheckButton.h"
#include "CHelpButton.h"
#include "CIconButton.h"
#include "CImageButton.h"
#include "CRadioButton.h"
#include "CSwitchButton.h"
#include "CTextButton.h"
#include "CTimerButton.h"
#include "MAirBladder.h"
#include "MButton.h"
#include "MScroll.h"
