#pragma once
// Stands in for the main window in the exchange-file tests and benchmarks: answers the
// file dialog with a prepared path (or a cancel) and records the dialogs, message boxes
// and list updates it was asked for.
#include <string>
#include <utility>
#include <vector>

#include "storage/ExchangeFiles.h"

namespace testsupport {

class RecordingExchangeUser : public IExchangePrompt, public IExchangeView {
public:
    struct ListEntry {
        std::wstring name;
        int id;
        bool selected;
        bool operator==(const ListEntry& o) const { return name == o.name && id == o.id && selected == o.selected; }
    };

    // The next dialogs' answer: this path, or a cancel when `cancel` is set.
    std::wstring path;
    bool cancel = false;

    std::vector<ExchangeFileDialog> dialogs;
    std::vector<std::pair<int, int>> messages; // title text, message text
    std::vector<ListEntry> macroList;
    std::vector<ListEntry> profileList;
    std::vector<int> activated;

    bool ChooseFile(const ExchangeFileDialog& dialog, std::wstring& chosen) override
    {
        dialogs.push_back(dialog);
        if (cancel)
            return false;
        chosen = path;
        return true;
    }
    void ShowMessage(int titleText, int messageText) override { messages.emplace_back(titleText, messageText); }
    void AddMacroToList(const std::wstring& name, int macroId, bool select) override
    {
        macroList.push_back({name, macroId, select});
    }
    void AddProfileToList(const std::wstring& name, int profile) override { profileList.push_back({name, profile, true}); }
    void ActivateImportedProfile(int profile) override { activated.push_back(profile); }

    // True when nothing reached the lists.
    bool ListsUntouched() const { return macroList.empty() && profileList.empty() && activated.empty(); }
};

} // namespace testsupport
