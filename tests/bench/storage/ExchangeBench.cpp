// Export and import of a full profile file: 100 keys, 12 of them bound to macros of 80
// events each. The export includes writing, flushing and moving the file into place; the
// import includes reading the file and its one durable commit. Goal: import <= 50 ms.
#include <windows.h>

#include <string>
#include <vector>

#include "storage/ExchangeFiles.h"
#include "storage/ProfileDatabase.h"
#include "support/Bench.h"
#include "support/RecordingExchangeUser.h"
#include "support/TestPaths.h"

namespace {

const int kMacros = 12;
const int kEventsPerMacro = 80;
const int kKeys = 100;
const int kRuns = 10;

// Fills a fresh file with the profile; false when the database refused.
bool FillProfile(ProfileDatabase& db)
{
    ProfileRow profile;
    profile.name = L"Bench";
    if (db.AddProfile(profile) != 1)
        return false;
    for (int m = 1; m <= kMacros; ++m) {
        const int id = db.AddMacro(L"Macro " + std::to_wstring(m));
        std::vector<MacroEventRow> events;
        for (int e = 0; e < kEventsPerMacro; ++e)
            events.push_back({0, id, 2 + e % 2, e, 0x41 + e / 2 % 26, 10 + e, L"Key " + std::to_wstring(e / 2)});
        if (!id || db.AddMacroEvents(events) != kEventsPerMacro)
            return false;
    }
    for (int k = 1; k <= kKeys; ++k) {
        KeyMacroRow key;
        key.profile = 1;
        key.key_code = k;
        key.layout_value = k;
        key.layout_desc = L"Key " + std::to_wstring(k);
        const bool macro = k <= kMacros;
        key.macro_type = macro ? kAssignMacro : kAssignFunction;
        key.macro_value = macro ? k : 100 + k;
        key.macro_desc = macro ? L"Macro " + std::to_wstring(k) : L"Function";
        if (!db.SetKeyAssignment(key))
            return false;
    }
    return true;
}

} // namespace

TASTRO_BENCH(exchange_profile_export_import)
{
    const std::wstring root = testsupport::MakeTempFolder(L"tastro-exchange-bench");
    CreateDirectoryW((root + L"\\db").c_str(), nullptr);
    const std::wstring data = root + L"\\";
    const std::wstring file = root + L"\\profile.xml";
    ProfileDatabase db;
    testsupport::RecordingExchangeUser user;
    user.path = file;
    ExchangeFiles exchange(db, user, user);

    if (!db.Open(data, L"Source") || !FillProfile(db)) {
        bench::Note("cannot fill the source database");
        testsupport::RemoveTree(root);
        return;
    }
    double exportTime = 0, textTime = 0;
    bool ok = true;
    for (int run = 0; run < kRuns; ++run) {
        double start = bench::Now();
        ok = exchange.ExportProfile(1, L"Bench") && ok;
        exportTime += bench::Now() - start;
        start = bench::Now();
        const std::wstring text = exchange.ProfileFileText(1, L"Bench");
        textTime += bench::Now() - start;
        bench::Consume(text.data());
    }

    // Each import goes into a fresh file, so that every macro is created anew.
    double importTime = 0;
    for (int run = 0; run < kRuns && ok; ++run) {
        ok = db.Open(data, L"Target" + std::to_wstring(run));
        const double start = bench::Now();
        ok = ok && exchange.ImportProfile();
        importTime += bench::Now() - start;
        std::vector<MacroEventRow> events;
        ok = ok && db.GetMacroEvents(kMacros, events) == kEventsPerMacro;
    }
    db.Close();

    WIN32_FILE_ATTRIBUTE_DATA attributes = {};
    GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &attributes);
    testsupport::RemoveTree(root);
    if (!ok || !user.messages.empty()) {
        bench::Note("an export or import failed");
        return;
    }
    bench::Note("profile of " + std::to_string(kKeys) + " keys and " + std::to_string(kMacros) + " macros of " +
                std::to_string(kEventsPerMacro) + " events: " + std::to_string(attributes.nFileSizeLow) + " bytes");
    bench::Report("ExportProfile (build, write, flush, replace)", exportTime / kRuns * 1e3, "ms");
    bench::Report("  of which building the document (database reads included)", textTime / kRuns * 1e3, "ms");
    bench::Report("ImportProfile (read, two passes, one durable commit; goal <= 50)", importTime / kRuns * 1e3, "ms");
}
