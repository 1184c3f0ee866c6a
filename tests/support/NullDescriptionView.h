#pragma once
// A main-window view that ignores everything reading the description files does to it,
// for tests that only want the records and the layout.
#include "storage/DeviceDescription.h"

namespace testsupport {

class NullDescriptionView : public IDescriptionView {
public:
    void AddDeviceToList(const std::wstring&, int) override {}
    void SetVersionText(const std::wstring&) override {}
    void SetCopyrightText(const std::wstring&) override {}
    void SetTabVisible(int, bool) override {}
    void SetFirmwareButtonVisible(bool) override {}
    void SetLightSliderMaxima(int, int) override {}
    void ResetMusicControls() override {}
    void ClearKeyboardKeys(int) override {}
    void SetKeyboardPicture(int, const RECT&, const std::wstring&, int, int) override {}
    void AddKeyboardKey(int, const KeyItemInfo&) override {}
    void RegisterDeviceNotifications() override {}
};

} // namespace testsupport
