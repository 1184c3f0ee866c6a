// Cost of the profile database operations the pages run most: storing one key's
// assignment, reading a layer's 100 assignments, and saving a 110-key custom colour set.
// Every write is a durable commit, so the figures include the file system's flushes.
#include <windows.h>

#include <string>
#include <vector>

#include "storage/ProfileDatabase.h"
#include "support/Bench.h"
#include "support/TestPaths.h"

namespace {

struct BenchFile {
    BenchFile()
    {
        root = testsupport::MakeTempFolder(L"tastro-db-bench");
        CreateDirectoryW((root + L"\\db").c_str(), nullptr);
        ok = db.Open(root + L"\\", L"Bench");
        if (!ok)
            bench::Note("cannot create the database file");
    }
    ~BenchFile()
    {
        db.Close();
        testsupport::RemoveTree(root);
    }
    std::wstring root;
    ProfileDatabase db;
    bool ok = false;
};

KeyMacroRow Key(int keyCode, int value)
{
    KeyMacroRow row;
    row.profile = 1;
    row.key_code = keyCode;
    row.layout_value = keyCode;
    row.layout_desc = L"Key";
    row.macro_type = kAssignFunction;
    row.macro_value = value;
    row.macro_desc = L"Function";
    return row;
}

} // namespace

TASTRO_BENCH(database_set_key_assignment)
{
    BenchFile file;
    if (!file.ok)
        return;
    const int calls = 200;
    const double start = bench::Now();
    for (int i = 0; i < calls; ++i)
        file.db.SetKeyAssignment(Key(1 + i % 100, 1 + i));
    const double elapsed = bench::Now() - start;
    bench::Report("SetKeyAssignment (replace one key, durable commit)", elapsed / calls * 1e3, "ms per call");
}

TASTRO_BENCH(database_get_key_assignments)
{
    BenchFile file;
    if (!file.ok)
        return;
    for (int i = 1; i <= 100; ++i)
        file.db.SetKeyAssignment(Key(i, i));
    std::vector<KeyMacroRow> rows;
    const int calls = 500;
    int read = 0;
    const double start = bench::Now();
    for (int i = 0; i < calls; ++i)
        read += file.db.GetKeyAssignments(1, 0, rows);
    const double elapsed = bench::Now() - start;
    bench::Consume(rows.data());
    if (read != calls * 100)
        bench::Note("unexpected row count");
    bench::Report("GetKeyAssignments (100 rows)", elapsed / calls * 1e6, "us per call");
}

TASTRO_BENCH(database_add_key_lights)
{
    BenchFile file;
    if (!file.ok)
        return;
    std::vector<KeyLightRow> rows;
    for (int i = 1; i <= 110; ++i)
        rows.push_back({0, 1, 128, i, 0x00FF8040});
    const int calls = 50;
    double add = 0, replace = 0;
    for (int i = 0; i < calls; ++i) {
        file.db.ClearCustomKeyLights();
        double start = bench::Now();
        file.db.AddKeyLights(rows);
        add += bench::Now() - start;
        start = bench::Now();
        file.db.ReplaceCustomKeyLights(rows);
        replace += bench::Now() - start;
    }
    bench::Report("AddKeyLights (110 rows, one transaction)", add / calls * 1e3, "ms per call");
    bench::Report("ReplaceCustomKeyLights (clear + 110 rows, one transaction)", replace / calls * 1e3, "ms per call");
}
