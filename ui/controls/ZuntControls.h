#pragma once
// Every control of the toolkit (the core is in ZuntUI.h).
#include "CGifPicture.h"
#include "CPhotoFrame.h"
#include "CSliderPicture.h"
#include "CTextArea.h"
#include "MLevelCtrl.h"
#include "MPicture.h"
#include "MPopupWnd.h"
#include "MProgress.h"
#include "MText.h"
#include "MenuItem.h"
#include "MenuWnd.h"
#include "PictureShowMode.h"
