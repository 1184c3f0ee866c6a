#pragma once
// A profile database in a private folder, a small model layout and the device tasks on a
// virtual keyboard under the recording clock, with helpers that store assignments and
// macros and render the keyboard's transfers for exact comparisons.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/DeviceTasks.h"
#include "device/KeyboardProtocol.h"
#include "storage/DeviceDescription.h"
#include "storage/ProfileDatabase.h"
#include "support/TestPaths.h"
#include "support/VirtualRig.h"

namespace devicetest {

// Key codes of the small layout (HID usages, as in the shipped layouts).
constexpr int kKeyA = 0x04;
constexpr int kKeyB = 0x05;
constexpr int kKeyC = 0x06;
constexpr int kKeyD = 0x07;
constexpr int kKeyE = 0x08;
constexpr int kKeyF = 0x09;
constexpr int kKeyEsc = 0x29;
constexpr int kKeyUnplaced = 0x68; // assigned in the database, absent from the layout

// Records what the tasks ask of the main window's pages.
class RecordingTaskView : public IDeviceTaskView {
public:
    std::vector<std::string> calls;
    std::vector<PreviewKey> preview;

    void ReloadPagesAfterReset(bool resetMusicControls) override
    {
        calls.push_back(resetMusicControls ? "reload, music controls reset" : "reload");
    }
    std::vector<PreviewKey> RecolourLivePreview() override
    {
        calls.push_back("recolour");
        return preview;
    }
};

// Esc F1 / A B C D E F on a 2 x 6 grid; key and LED positions: Esc 0, F1 1, A..F 20..25.
inline ModelLayout SmallLayout()
{
    ModelLayout layout;
    struct Key {
        int code, index, row, column;
    } keys[] = {{kKeyEsc, 0, 0, 0}, {0x3A, 1, 0, 1}, {kKeyA, 20, 1, 0}, {kKeyB, 21, 1, 1},
                {kKeyC, 22, 1, 2},  {kKeyD, 23, 1, 3}, {kKeyE, 24, 1, 4}, {kKeyF, 25, 1, 5}};
    layout.rowCount = 2;
    layout.colCount = 6;
    for (const Key& k : keys) {
        layout.keyPositionMap[k.code] = k.index;
        layout.ledMap[k.code] = k.index;
        layout.keyGrid[k.row][k.column] = static_cast<uint8_t>(k.code);
    }
    return layout;
}

struct TasksRig : testsupport::VirtualRig {
    std::wstring root;
    ProfileDatabase db;
    ModelLayout layout = SmallLayout();
    RecordingTaskView view;
    DeviceTasks tasks{db, layout, link, &view};
    int profile = 0;

    explicit TasksRig(VirtualConnection connection = VirtualConnection::Wired, bool scan = true)
    {
        root = testsupport::MakeTempFolder(L"tastro-tasks");
        CreateDirectoryW((root + L"\\db").c_str(), nullptr);
        EXPECT_TRUE(db.Open(root + L"\\", L"Model"));
        profile = AddProfile(L"One");
        db.SetActiveProfile(profile);
        Attach(connection);
        if (scan)
            Scan(connection == VirtualConnection::Legacy ? testsupport::kLegacyFamily : testsupport::kMainFamily);
    }
    ~TasksRig()
    {
        db.Close();
        testsupport::RemoveTree(root);
    }

    int AddProfile(const std::wstring& name)
    {
        ProfileRow row;
        row.name = name;
        return db.AddProfile(row);
    }

    void Assign(int keyCode, int kind, int value, int inProfile = 0, int layer = 0)
    {
        KeyMacroRow row;
        row.profile = inProfile ? inProfile : profile;
        row.fn_layer = layer;
        row.key_code = keyCode;
        row.macro_type = kind;
        row.macro_value = value;
        row.macro_value2 = value == 0 ? 1 : 0; // stored even with value 0
        ASSERT_GT(db.SetKeyAssignment(row), 0);
    }

    bool Assigned(int keyCode, int inProfile = 0, int layer = 0)
    {
        KeyMacroRow row;
        return db.GetKeyAssignment(inProfile ? inProfile : profile, layer, keyCode, row);
    }

    // A macro with its events (type, virtual key, delay) in order.
    int AddMacro(int playTimes, const std::vector<protocol::MacroEvent>& events)
    {
        MacroRow macro;
        macro.name = L"Macro";
        macro.play_times = playTimes;
        macro.delay_type = 1;
        const int id = db.AddMacroRow(macro);
        std::vector<MacroEventRow> rows;
        for (size_t i = 0; i < events.size(); ++i) {
            MacroEventRow e;
            e.macro_id = id;
            e.type = events[i].type;
            e.record_index = static_cast<int>(i);
            e.value = events[i].virtualKey;
            e.delay_time = events[i].delayMs;
            rows.push_back(e);
        }
        if (!rows.empty()) {
            EXPECT_EQ(db.AddMacroEvents(rows), static_cast<int>(rows.size()));
        }
        return id;
    }

    void AddLightMode(int mode, int brightness, int speed, int direction, int colorIndex, uint32_t colour,
                      int configFunc = 0)
    {
        LightRow row;
        row.profile = kLightingProfile;
        row.name = L"801";
        row.mode = mode;
        row.brightness = brightness;
        row.speed = speed;
        row.direction = direction;
        row.colorful = 0;
        row.colorindex = colorIndex;
        row.color_value = static_cast<int>(colour);
        row.config_func = configFunc;
        ASSERT_GT(db.AddLightMode(row), 0);
    }

    // Puts keys into the keyboard's slots the way an earlier upload would have.
    void Occupy(const std::vector<std::pair<int, int>>& macroSlots, const std::vector<std::pair<int, int>>& remapSlots)
    {
        for (const auto& [slot, key] : macroSlots) {
            const protocol::StoredMacro macro{true, 1, {{protocol::kEventPress, 'Q', 10}}};
            protocol::SendMacroSlot(link, key, slot, protocol::kKindMacro, 1, &macro);
        }
        for (const auto& [slot, key] : remapSlots) {
            const protocol::KeyAssignment remap{2, 0x2C};
            protocol::SendRemapSlot(link, key, slot, &remap);
        }
        Reset();
    }

    // The transfers without their time stamps: "<kind> <first bytes>".
    std::vector<std::string> Reports(size_t outputBytes = 8)
    {
        std::vector<std::string> lines;
        for (const std::string& line : Wire(outputBytes))
            lines.push_back(line.substr(line.find(' ') + 1));
        return lines;
    }
};

inline std::string Feature(const std::vector<int>& bytes)
{
    std::vector<uint8_t> b(bytes.begin(), bytes.end());
    return "feature-set " + testsupport::Hex(b.data(), b.size());
}

// The 28 feature reports that carry a macro slot payload.
inline std::vector<std::string> MacroReports(const protocol::MacroPayload& payload)
{
    std::vector<std::string> lines;
    for (size_t i = 0; i < 28; ++i) {
        std::vector<int> r = {0x07, i == 0 ? 0xF1 : 0x00};
        for (size_t j = 0; j < 6; ++j)
            r.push_back(payload[6 * i + j]);
        lines.push_back(Feature(r));
    }
    return lines;
}

inline std::vector<unsigned> Repeat(unsigned ms, size_t count) { return std::vector<unsigned>(count, ms); }

inline std::vector<unsigned> Concat(std::initializer_list<std::vector<unsigned>> parts)
{
    std::vector<unsigned> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

// The pauses of a slot-table read: four reads, 16 ms before each.
inline std::vector<unsigned> TableReadPauses() { return Repeat(16, 4); }
// One macro slot: 16 ms before the key, then 16 ms before each of its 28 reports.
inline std::vector<unsigned> MacroKeyPauses() { return Concat({{16}, Repeat(16, 28)}); }
// One remap report: 16 ms before the key and 16 ms before the report.
inline std::vector<unsigned> RemapKeyPauses() { return {16, 16}; }

} // namespace devicetest
