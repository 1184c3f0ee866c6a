#include "device/VirtualKeyboard.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "device/PauseClock.h"

namespace {

// The log keeps the most recent transfers only (a program using the virtual keyboard runs
// for hours; music levels alone come many times a second).
constexpr size_t kTransferLogLimit = 50000;
constexpr uint8_t kSignature[4] = {0xBB, 0xAA, 0x99, 0x88};

std::string InterfacePath(const VirtualIdentity& id, int connectionId, const char* mi)
{
    char buffer[160];
    std::snprintf(buffer, sizeof buffer,
                  "\\\\?\\hid#vid_%04x&pid_%04x&%s#8&%x&0&0000#{4d1e55b2-f16f-11cf-88cb-001111000030}", id.vid,
                  id.pid, mi, 0x2a1f00 + connectionId);
    return buffer;
}

void Hex(std::string& out, const uint8_t* data, size_t length)
{
    char b[4];
    for (size_t i = 0; i < length; ++i) {
        std::snprintf(b, sizeof b, i ? " %02X" : "%02X", data[i]);
        out += b;
    }
}

template <size_t N> void JsonArray(std::string& out, const std::array<uint8_t, N>& values)
{
    out += '[';
    for (size_t i = 0; i < N; ++i) {
        if (i)
            out += ',';
        out += std::to_string(values[i]);
    }
    out += ']';
}

template <size_t N> void JsonHex(std::string& out, const std::array<uint8_t, N>& values)
{
    out += '"';
    Hex(out, values.data(), N);
    out += '"';
}

} // namespace

VirtualKeyboard::VirtualKeyboard() = default;
VirtualKeyboard::~VirtualKeyboard() = default;

// ---------------------------------------------------------------- connections

int VirtualKeyboard::AddConnection(VirtualConnection connection, const VirtualIdentity& identity)
{
    std::lock_guard<std::mutex> lock(mutex_);
    const int id = nextConnectionId_++;
    Connection c;
    c.kind = connection;
    c.identity = identity;
    auto add = [&](const char* mi, uint16_t usagePage, uint16_t usage, bool auxiliary) {
        Interface itf;
        itf.info.path = InterfacePath(identity, id, mi);
        itf.info.vid = identity.vid;
        itf.info.pid = identity.pid;
        itf.info.release = 0x0100;
        itf.info.usagePage = usagePage;
        itf.info.usage = usage;
        itf.info.interfaceNumber = ParseInterfaceNumber(itf.info.path);
        itf.auxiliary = auxiliary;
        c.interfaces.push_back(itf);
    };
    add("mi_00", 0x0001, 0x0006, false); // the boot keyboard
    switch (connection) {
    case VirtualConnection::Wired:
        add("mi_01&col01", 0xFF00, 0x0001, false); // vendor collections that carry no commands
        add("mi_01&col02", 0xFF01, 0x0002, false);
        add("mi_02", 0xFF01, 0x0001, false);
        break;
    case VirtualConnection::Wireless1:
    case VirtualConnection::Wireless2:
        add("mi_02", 0xFF02, 0x0002, false);
        break;
    case VirtualConnection::Legacy:
        add("mi_02", 0xFF01, 0x0001, false);
        add("mi_03", 0xFF02, 0x0002, true);
        break;
    }
    connections_[id] = c;
    return id;
}

void VirtualKeyboard::Unplug(int connectionId)
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = connections_.find(connectionId);
    if (it != connections_.end() && it->second.plugged) {
        it->second.plugged = false;
        ++it->second.generation;
    }
}

void VirtualKeyboard::Plug(int connectionId)
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = connections_.find(connectionId);
    if (it != connections_.end())
        it->second.plugged = true;
}

void VirtualKeyboard::UnplugAll()
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& [id, c] : connections_) {
        if (c.plugged) {
            c.plugged = false;
            ++c.generation;
        }
    }
}

void VirtualKeyboard::PlugAll()
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& [id, c] : connections_)
        c.plugged = true;
}

int VirtualKeyboard::ConnectionCount() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(connections_.size());
}

// ---------------------------------------------------------------- test controls

void VirtualKeyboard::FailTransfers(HidTransferKind kind, int count, int command, int skip)
{
    std::lock_guard<std::mutex> lock(mutex_);
    failRules_.push_back({kind, command, skip, count});
}

void VirtualKeyboard::FailOpen(int connectionId, bool fail)
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = connections_.find(connectionId);
    if (it != connections_.end())
        it->second.failOpen = fail;
}

void VirtualKeyboard::AnswerWithReportId(uint8_t reportId, int count)
{
    std::lock_guard<std::mutex> lock(mutex_);
    answerReportId_ = reportId;
    answerReportIdCount_ = count;
}

void VirtualKeyboard::SetFirmwareVersion(uint16_t version)
{
    std::lock_guard<std::mutex> lock(mutex_);
    state_.firmwareVersion = version;
    ChangedLocked();
}

void VirtualKeyboard::SetStateFile(const std::wstring& path)
{
    std::lock_guard<std::mutex> lock(mutex_);
    stateFile_ = path;
    ChangedLocked();
}

VirtualFirmwareState VirtualKeyboard::State() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return state_;
}

std::vector<VirtualTransfer> VirtualKeyboard::Transfers() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return transfers_;
}

void VirtualKeyboard::ClearTransfers()
{
    std::lock_guard<std::mutex> lock(mutex_);
    transfers_.clear();
}

int VirtualKeyboard::OpenHandleCount() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(handles_.size());
}

int VirtualKeyboard::TotalOpens() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return totalOpens_;
}

int VirtualKeyboard::ClosedHandleUses() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return closedHandleUses_;
}

// ---------------------------------------------------------------- IHidBackend

std::vector<HidDeviceInfo> VirtualKeyboard::Enumerate()
{
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<HidDeviceInfo> list;
    for (const auto& [id, c] : connections_) {
        if (!c.plugged)
            continue;
        for (const Interface& itf : c.interfaces)
            list.push_back(itf.info);
    }
    return list;
}

HidHandle VirtualKeyboard::Open(const std::string& path)
{
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& [id, c] : connections_) {
        if (!c.plugged)
            continue;
        for (size_t i = 0; i < c.interfaces.size(); ++i) {
            if (c.interfaces[i].info.path != path)
                continue;
            if (c.failOpen)
                return nullptr;
            const uintptr_t handle = nextHandle_++;
            handles_[handle] = OpenHandle{id, static_cast<int>(i), c.generation};
            ++totalOpens_;
            return reinterpret_cast<HidHandle>(handle);
        }
    }
    return nullptr;
}

void VirtualKeyboard::Close(HidHandle handle)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (handles_.erase(reinterpret_cast<uintptr_t>(handle)) == 0)
        ++closedHandleUses_; // closing twice is a use of a closed handle too
}

int VirtualKeyboard::BeginTransferLocked(HidHandle handle, HidTransferKind& kind, const uint8_t* data, size_t length,
                                         bool& closed)
{
    closed = false;
    auto h = handles_.find(reinterpret_cast<uintptr_t>(handle));
    if (h == handles_.end()) {
        closed = true;
        ++closedHandleUses_;
        return -1;
    }
    const Connection& c = connections_.at(h->second.connectionId);
    if (kind == HidTransferKind::Output && c.interfaces[h->second.interfaceIndex].auxiliary)
        kind = HidTransferKind::AuxOutput;
    if (!c.plugged || c.generation != h->second.generation)
        return -1;
    const int command = length > 1 ? data[1] : -1;
    if (ShouldFailLocked(kind, command))
        return -1;
    return h->second.connectionId;
}

bool VirtualKeyboard::ShouldFailLocked(HidTransferKind kind, int command)
{
    for (FailRule& rule : failRules_) {
        const bool kindMatches = rule.kind == kind ||
                                 (rule.kind == HidTransferKind::Output && kind == HidTransferKind::AuxOutput);
        if (rule.count <= 0 || !kindMatches || (rule.command >= 0 && rule.command != command))
            continue;
        if (rule.skip > 0) {
            --rule.skip;
            return false;
        }
        --rule.count;
        return true;
    }
    return false;
}

void VirtualKeyboard::LogLocked(HidTransferKind kind, const uint8_t* data, size_t length, int result,
                                int connectionId, bool closed)
{
    if (transfers_.size() >= kTransferLogLimit)
        transfers_.erase(transfers_.begin(), transfers_.begin() + kTransferLogLimit / 2);
    VirtualTransfer t;
    t.timeMs = CurrentPauseClock().NowMs();
    t.kind = kind;
    t.bytes.assign(data, data + length);
    t.result = result;
    t.connectionId = connectionId;
    t.onClosedHandle = closed;
    transfers_.push_back(std::move(t));
}

int VirtualKeyboard::Write(HidHandle handle, const uint8_t* data, size_t length)
{
    std::lock_guard<std::mutex> lock(mutex_);
    HidTransferKind kind = HidTransferKind::Output;
    bool closed = false;
    const int connection = BeginTransferLocked(handle, kind, data, length, closed);
    int result = -1;
    if (connection >= 0 && length >= 2 && data[0] == 0) {
        HandleOutputLocked(data, length);
        result = static_cast<int>(length);
    }
    LogLocked(kind, data, length, result, connection, closed);
    return result;
}

int VirtualKeyboard::SendFeature(HidHandle handle, const uint8_t* data, size_t length)
{
    std::lock_guard<std::mutex> lock(mutex_);
    HidTransferKind kind = HidTransferKind::FeatureSet;
    bool closed = false;
    const int connection = BeginTransferLocked(handle, kind, data, length, closed);
    int result = -1;
    if (connection >= 0 && length >= 8 && data[0] == 0x07) {
        HandleFeatureLocked(data);
        result = static_cast<int>(length);
    }
    LogLocked(kind, data, length, result, connection, closed);
    return result;
}

int VirtualKeyboard::GetFeature(HidHandle handle, uint8_t* data, size_t length)
{
    std::lock_guard<std::mutex> lock(mutex_);
    HidTransferKind kind = HidTransferKind::FeatureGet;
    bool closed = false;
    const int connection = BeginTransferLocked(handle, kind, data, length, closed);
    int result = -1;
    if (connection >= 0 && length >= 1 && data[0] == 0x07) {
        uint8_t reply[8] = {0x07};
        if (pending_ == PendingReply::SlotTable) {
            uint8_t table[28] = {};
            std::copy(state_.macroSlots.begin(), state_.macroSlots.end(), table + 1);
            std::copy(state_.remapSlots.begin(), state_.remapSlots.end(), table + 14);
            std::memcpy(reply + 1, table + 7 * tableCursor_, 7);
            tableCursor_ = (tableCursor_ + 1) % 4;
        } else if (pending_ == PendingReply::Version) {
            reply[1] = static_cast<uint8_t>(state_.firmwareVersion >> 8);
            reply[2] = static_cast<uint8_t>(state_.firmwareVersion & 0xFF);
        }
        if (answerReportIdCount_ > 0) {
            --answerReportIdCount_;
            reply[0] = answerReportId_;
        }
        const size_t n = std::min(length, sizeof reply);
        std::memcpy(data, reply, n);
        result = static_cast<int>(n);
    }
    LogLocked(kind, data, length, result, connection, closed);
    return result;
}

// ---------------------------------------------------------------- firmware

void VirtualKeyboard::HandleFeatureLocked(const uint8_t* r)
{
    const uint8_t command = r[1];
    if (assembling_ && command != 0x00 && command != 0xF1)
        ++state_.interruptedMacroAssemblies;
    switch (command) {
    case 0xF1: // first piece of a macro slot payload
        if (assembling_)
            ++state_.interruptedMacroAssemblies;
        assembly_.fill(0);
        std::memcpy(assembly_.data(), r + 2, 6);
        assembledPieces_ = 1;
        assembling_ = true;
        return;
    case 0x00: // following pieces
        if (!assembling_) {
            ++state_.unknownReports;
            return;
        }
        std::memcpy(assembly_.data() + 6 * assembledPieces_, r + 2, 6);
        if (++assembledPieces_ == 28) {
            assembling_ = false;
            const int slot = assembly_[1];
            if (slot >= 1 && slot <= VirtualFirmwareState::kMacroSlots) {
                state_.macroSlots[slot - 1] = assembly_[2];
                state_.macroPayloads[slot - 1] = assembly_;
                ChangedLocked();
            }
        }
        return;
    case 0xFA: { // remap slot
        const int slot = r[3];
        if (r[2] == 0x01 && slot >= 1 && slot <= VirtualFirmwareState::kRemapSlots) {
            state_.remapSlots[slot - 1] = r[4];
            state_.remapTargets[slot - 1] = r[6];
            ChangedLocked();
        }
        return;
    }
    case 0xFB: // slot table request: the next four reads answer with its pieces
        pending_ = PendingReply::SlotTable;
        tableCursor_ = 0;
        return;
    case 0xF7: // lighting
        state_.lightingSet = true;
        state_.lightingWireless = false;
        std::memcpy(state_.lighting.data(), r + 2, 6);
        ChangedLocked();
        return;
    case 0xF0: // factory reset
        if (r[2] == 0xAA)
            ResetFirmwareLocked();
        else
            ++state_.unknownReports;
        return;
    case 0x23: // music level
        if (r[2] == 0x45 && r[3] == 0x67 && r[4] == 0x89) {
            ++state_.musicReports;
            state_.musicEffect = r[5];
            state_.musicColourIndex = r[6];
            state_.musicLevel = r[7];
            ChangedLocked();
        } else {
            ++state_.unknownReports;
        }
        return;
    case 0xFD: // firmware version request
        pending_ = PendingReply::Version;
        return;
    case 0xFF: // lighting preview of the older command set
        if (r[2] == 0xFF) {
            std::memcpy(state_.legacyPreview.data(), r + 1, 7);
            ChangedLocked();
        } else {
            ++state_.unknownReports;
        }
        return;
    default:
        ++state_.unknownReports;
        return;
    }
}

void VirtualKeyboard::HandleOutputLocked(const uint8_t* r, size_t length)
{
    if (length >= 65 && std::memcmp(r + 1, kSignature, 4) == 0) {
        HandleWirelessLocked(r + 1);
        return;
    }
    if (length < 65) {
        ++state_.unknownReports;
        return;
    }
    const int pieceLength = r[2];
    const int offset = r[3] | (r[4] << 8);
    auto copyPiece = [&](uint8_t* table, int tableSize, const uint8_t* source, int maxLength) {
        const int n = std::min(pieceLength, maxLength);
        for (int i = 0; i < n && offset + i < tableSize; ++i)
            table[offset + i] = source[i];
    };
    switch (r[1]) {
    case 0x8B: // per-key colours
        copyPiece(state_.colourTable.data(), 600, r + 5, 60);
        break;
    case 0x88:
        state_.legacyModeSet = true;
        state_.legacyMode = r[3];
        break;
    case 0x89:
        state_.legacyLightingSet = true;
        std::memcpy(state_.legacyLighting.data(), r + 3, 5);
        break;
    case 0x8D: // key map piece
        copyPiece(state_.legacyKeyMap.data(), 360, r + 5, 60);
        break;
    case 0x8E: { // macro piece: number in byte 5, data from byte 6
        std::vector<uint8_t>& bytes = state_.legacyMacros[r[5]];
        if (bytes.size() < static_cast<size_t>(offset + 59))
            bytes.resize(offset + 59, 0);
        std::memcpy(bytes.data() + offset, r + 6, 59);
        break;
    }
    case 0xFF:
        if (r[2] == 0xFE && r[3] == 0xAA && r[4] == 0xFF) {
            ++state_.legacyResetCount;
            state_.legacyModeSet = false;
            state_.legacyLightingSet = false;
            state_.legacyKeyMap.fill(0);
            state_.legacyMacros.clear();
        } else {
            ++state_.unknownReports;
            return;
        }
        break;
    case 0xF0:
        if (r[2] == 0xF4 && r[3] == 0x01) {
            ++state_.liveStreamStarts;
        } else {
            ++state_.unknownReports;
            return;
        }
        break;
    case 0xF1: // live frame piece
        copyPiece(state_.liveFrame.data(), 600, r + 5, 60);
        break;
    default:
        ++state_.unknownReports;
        return;
    }
    ChangedLocked();
}

void VirtualKeyboard::HandleWirelessLocked(const uint8_t* p)
{
    bool allZero = true;
    for (size_t i = 4; i < 64; ++i)
        allZero &= p[i] == 0;
    if (allZero) {
        // The second half of a wireless reset.
        if (wirelessResetArmed_) {
            wirelessResetArmed_ = false;
            ResetFirmwareLocked();
        }
        return;
    }
    if (p[4] != 0xAA) {
        ++state_.unknownReports;
        return;
    }
    if (p[5] == 0xAA && p[6] == 0xAA && p[7] == 0xAA && p[8] == 0xAA && p[9] == 0xAA) {
        wirelessResetArmed_ = true;
        return;
    }
    state_.lightingSet = true;
    state_.lightingWireless = true;
    std::memcpy(state_.lighting.data(), p + 5, 6);
    ChangedLocked();
}

void VirtualKeyboard::ResetFirmwareLocked()
{
    ++state_.resetCount;
    state_.macroSlots.fill(0);
    for (auto& payload : state_.macroPayloads)
        payload.fill(0);
    state_.remapSlots.fill(0);
    state_.remapTargets.fill(0);
    state_.lightingSet = false;
    state_.lightingWireless = false;
    state_.lighting.fill(0);
    state_.colourTable.fill(0);
    assembling_ = false;
    ChangedLocked();
}

void VirtualKeyboard::ChangedLocked()
{
    if (stateFile_.empty())
        return;
    const std::string json = StateJsonLocked();
    const std::wstring temp = stateFile_ + L".tmp";
    HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, json.data(), static_cast<DWORD>(json.size()), &written, nullptr);
    CloseHandle(file);
    if (ok && written == json.size())
        MoveFileExW(temp.c_str(), stateFile_.c_str(), MOVEFILE_REPLACE_EXISTING);
    else
        DeleteFileW(temp.c_str());
}

std::string VirtualKeyboard::StateJson() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return StateJsonLocked();
}

std::string VirtualKeyboard::StateJsonLocked() const
{
    const VirtualFirmwareState& s = state_;
    std::string j = "{\n";
    char b[64];
    std::snprintf(b, sizeof b, "  \"firmware_version\": \"%04X\",\n", s.firmwareVersion);
    j += b;
    j += "  \"reset_count\": " + std::to_string(s.resetCount) + ",\n";
    j += "  \"macro_slots\": ";
    JsonArray(j, s.macroSlots);
    j += ",\n  \"macros\": [";
    bool first = true;
    for (int i = 0; i < VirtualFirmwareState::kMacroSlots; ++i) {
        if (s.macroSlots[i] == 0)
            continue;
        j += first ? "\n" : ",\n";
        first = false;
        j += "    {\"slot\": " + std::to_string(i + 1) + ", \"key\": " + std::to_string(s.macroSlots[i]) +
             ", \"payload\": ";
        JsonHex(j, s.macroPayloads[i]);
        j += "}";
    }
    j += first ? "],\n" : "\n  ],\n";
    j += "  \"remap_slots\": ";
    JsonArray(j, s.remapSlots);
    j += ",\n  \"remap_targets\": ";
    JsonArray(j, s.remapTargets);
    j += ",\n  \"lighting\": ";
    if (!s.lightingSet) {
        j += "null";
    } else {
        const auto& l = s.lighting;
        j += std::string("{\"form\": \"") + (s.lightingWireless ? "wireless" : "wired") + "\", \"mode\": " +
             std::to_string(l[0]) + ", \"colorindex\": " + std::to_string(l[1]);
        if (l[0] == 3)
            j += ", \"red\": " + std::to_string(l[2]) + ", \"green\": " + std::to_string(l[3]) +
                 ", \"brightness\": " + std::to_string(l[4]) + ", \"blue\": " + std::to_string(l[5]);
        else
            j += ", \"direction\": " + std::to_string(l[2]) + ", \"speed\": " + std::to_string(l[3]) +
                 ", \"brightness\": " + std::to_string(l[4]) + ", \"option\": " + std::to_string(l[5]);
        j += "}";
    }
    j += ",\n  \"colour_table\": ";
    JsonHex(j, s.colourTable);
    j += ",\n  \"music\": {\"reports\": " + std::to_string(s.musicReports) + ", \"effect\": " +
         std::to_string(s.musicEffect) + ", \"colour_index\": " + std::to_string(s.musicColourIndex) +
         ", \"level\": " + std::to_string(s.musicLevel) + "},\n";
    j += "  \"legacy\": {\n    \"reset_count\": " + std::to_string(s.legacyResetCount) + ",\n    \"mode\": " +
         (s.legacyModeSet ? std::to_string(s.legacyMode) : std::string("null")) + ",\n    \"lighting\": ";
    if (s.legacyLightingSet)
        JsonHex(j, s.legacyLighting);
    else
        j += "null";
    j += ",\n    \"preview\": ";
    JsonHex(j, s.legacyPreview);
    j += ",\n    \"key_map\": ";
    JsonHex(j, s.legacyKeyMap);
    j += ",\n    \"macros\": [";
    first = true;
    for (const auto& [n, bytes] : s.legacyMacros) {
        j += first ? "\n" : ",\n";
        first = false;
        j += "      {\"number\": " + std::to_string(n) + ", \"bytes\": \"";
        Hex(j, bytes.data(), bytes.size());
        j += "\"}";
    }
    j += first ? "],\n" : "\n    ],\n";
    j += "    \"live_stream_starts\": " + std::to_string(s.liveStreamStarts) + ",\n    \"live_frame\": ";
    JsonHex(j, s.liveFrame);
    j += "\n  },\n";
    j += "  \"unknown_reports\": " + std::to_string(s.unknownReports) + ",\n";
    j += "  \"interrupted_macro_assemblies\": " + std::to_string(s.interruptedMacroAssemblies) + "\n}\n";
    return j;
}
