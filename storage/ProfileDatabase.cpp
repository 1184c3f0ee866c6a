#include "storage/ProfileDatabase.h"

#include <shlwapi.h>
#include <sqlite3.h>

#include "storage/SQLiteAutoTransaction.h"
#include "storage/SQLiteStatement.h"
#include "storage/SQLiteText.h"

namespace {

const int kOpenExisting = SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX;
const int kOpenNew = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;

// The schema of a new file, run in this order. Existing files are never changed.
const char* const kSchema[] = {
    "CREATE TABLE IF NOT EXISTS t_configdata(config_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "\t\t\t\t\t\t\t\t  profile INTEGER, key TEXT, value TEXT)",
    "CREATE TABLE IF NOT EXISTS t_profile_data(profile INTEGER PRIMARY KEY AUTOINCREMENT, "
    "\t\t\t\t\t\t\t\t  name TEXT, status INTEGER, app TEXT, type INTEGER)",
    "CREATE INDEX IF NOT EXISTS profileindex ON t_profile_data(profile)",
    "CREATE TABLE IF NOT EXISTS t_key_macro_data(key_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "\t\t\t\t\t\t\t\tprofile INTEGER, fn_layer INTEGER, key_code INTEGER, layout_value INTEGER, layout_desc TEXT, "
    "\t\t\t\t\t\t\t\tmacro_type INTEGER, macro_value INTEGER, macro_value2 INTEGER, macro_value3 INTEGER, macro_desc TEXT)",
    "CREATE INDEX IF NOT EXISTS keyindex ON t_key_macro_data(key_id)",
    "CREATE TABLE IF NOT EXISTS t_key_otherdata(macro_value INTEGER PRIMARY KEY AUTOINCREMENT, "
    "\t\t\t\t\t\t\t\t  macro_desc TEXT, param TEXT, type INTEGER)",
    "CREATE INDEX IF NOT EXISTS otheridindex ON t_key_otherdata(macro_value)",
    "CREATE TABLE IF NOT EXISTS t_macro_data(macro_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "\t\t\t\t\t\t\t\t  play_times INTEGER, delay_type INTEGER, delay_time INTEGER, link_count INTEGER, name TEXT)",
    "CREATE INDEX IF NOT EXISTS macroidindex ON t_macro_data(macro_id)",
    "CREATE TABLE IF NOT EXISTS t_macrorecord(record_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "\t\t\t\t\t\t\t\t  macro_id INTEGER, type INTEGER, record_index INTEGER, desc TEXT, value INTEGER, delay_time INTEGER)",
    "CREATE INDEX IF NOT EXISTS macrorecordindex ON t_macrorecord(record_id)",
    "CREATE TABLE IF NOT EXISTS t_light_data(light_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "\t\t\t\t\t\t\t\t\t\t  profile INTEGER, name TEXT, mode INTEGER, brightness INTEGER, speed INTEGER, "
    "\t\t\t\t\t\t\t\t\t\tdirection INTEGER, colorful INTEGER, colorindex INTEGER, "
    "\t\t\t\t\t\t\t\t\t\tcolor_value INTEGER, config_func INTEGER, reserved INTEGER, status INTEGER)",
    "CREATE INDEX IF NOT EXISTS lightindex ON t_light_data(light_id)",
    "CREATE TABLE IF NOT EXISTS t_key_light_data(keylight_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "\t\t\t\t\t\t\t\t   profile INTEGER, light_id INTEGER, key_code INTEGER, key_rgb INTEGER)",
    "CREATE INDEX IF NOT EXISTS keylightindex ON t_key_light_data(keylight_id)",
    "CREATE TABLE IF NOT EXISTS t_musiclayer_data(layer_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "\t\t\t\t\t\t\t\t   profile INTEGER, name TEXT, deviceindex INTEGER, foremode INTEGER, fore_amplitude INTEGER,"
    "\t\t\t\t\t\t\t\t   backmode INTEGER, backb_right INTEGER, sel INTEGER)",
    "CREATE INDEX IF NOT EXISTS musiclayerindex ON t_musiclayer_data(layer_id)",
};

const char kInsertConfig[] = "INSERT INTO t_configdata(profile, key, value) VALUES (?, ?, ?);";

const char kInsertProfile[] = "INSERT INTO t_profile_data(name, status, app, type) VALUES (?, ?, ?, ?);";
const char kDeleteProfile[] = "DELETE FROM t_profile_data WHERE profile = ?";
const char kRenameProfile[] = "UPDATE t_profile_data SET name = ? WHERE profile = ?";
const char kSelectProfileName[] = "SELECT name FROM t_profile_data WHERE profile = ?";
const char kSelectProfiles[] = "SELECT * FROM t_profile_data";
const char kClearActiveProfile[] = "UPDATE t_profile_data SET status = ?";
const char kSetActiveProfile[] = "UPDATE t_profile_data SET status = ? WHERE profile = ?";
const char kSelectActiveProfile[] = "SELECT profile FROM t_profile_data WHERE status = ?";

const char kDeleteKey[] = "DELETE FROM t_key_macro_data WHERE profile = ? and fn_layer = ? and key_code = ?";
const char kInsertKey[] = "INSERT INTO t_key_macro_data(profile, fn_layer, key_code, layout_value, layout_desc, "
                          "                    macro_type, macro_value, macro_value2, macro_value3, macro_desc) "
                          "\t\t\t\t\t VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?);";
const char kSelectKey[] = "SELECT * FROM t_key_macro_data WHERE profile = ? and fn_layer = ? and key_code = ?";
const char kSelectKeys[] = "SELECT * FROM t_key_macro_data WHERE profile = ? and fn_layer = ?";
const char kClearKeys[] = "DELETE FROM t_key_macro_data WHERE profile = ?";
const char kInsertOther[] = "INSERT INTO t_key_otherdata(macro_desc, param, type) VALUES (?, ?, ?);";
const char kSelectOther[] = "SELECT macro_desc, param, type FROM t_key_otherdata WHERE macro_value = ?";

const char kCountLights[] = "select count(*) FROM t_light_data WHERE profile = ?";
const char kInsertLight[] = "INSERT INTO t_light_data(profile, name, mode, brightness, speed, direction, "
                            "\t\t\t\t\t colorful, colorindex, color_value, config_func, reserved, status) "
                            "\t\t\t\t\t VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?);";
const char kUpdateLight[] = "UPDATE t_light_data SET brightness = ?, speed = ?, direction = ?, colorful = ?, "
                            "colorindex = ?,\t\t\t color_value = ?, config_func = ?, reserved = ? "
                            "WHERE profile = ? AND mode = ?";
const char kClearActiveLight[] = "UPDATE t_light_data SET status = ?";
const char kSetActiveLight[] = "UPDATE t_light_data SET status = ? WHERE profile = ? and mode = ?";
const char kSelectActiveLight[] = "SELECT mode FROM t_light_data WHERE profile = ? and status = ?";
const char kSelectLight[] = "SELECT * FROM t_light_data WHERE profile = ? AND mode = ?";
const char kSelectLights[] = "SELECT * FROM t_light_data WHERE profile = ?";

const char kInsertKeyLight[] =
    "INSERT INTO t_key_light_data(profile, light_id, key_code, key_rgb) VALUES (?, ?, ?, ?);";
const char kClearKeyLights[] = "DELETE FROM t_key_light_data WHERE light_id = ?";
const char kSelectKeyLights[] = "SELECT * FROM t_key_light_data WHERE light_id = ?";

const char kInsertMacro[] =
    "INSERT INTO t_macro_data(play_times, delay_type, delay_time, link_count, name) VALUES (?, ?, ?, ?, ?);";
const char kRenameMacro[] = "UPDATE t_macro_data SET name = ? WHERE macro_id = ?";
const char kUpdateMacroPlayback[] = "UPDATE t_macro_data SET play_times = ?, delay_type = ?, "
                                    "\t\t\t\t\t delay_time = ? WHERE macro_id = ?";
const char kDeleteMacro[] = "DELETE FROM t_macro_data WHERE macro_id = ?";
const char kDeleteMacroKeys[] = "DELETE FROM t_key_macro_data WHERE macro_type = ? and macro_value = ?";
const char kSelectPlayTimes[] = "SELECT play_times FROM t_macro_data WHERE macro_id = ?";
const char kSelectMacro[] = "SELECT * FROM t_macro_data WHERE macro_id = ?";
const char kSelectMacros[] = "SELECT * FROM t_macro_data";

const char kInsertEvent[] = "INSERT INTO t_macrorecord(macro_id, type, record_index, desc, value, delay_time) "
                            "\t\t\t\t\t VALUES (?, ?, ?, ?, ?, ?);";
const char kSelectEvents[] = "SELECT * FROM t_macrorecord WHERE macro_id = ? ORDER BY record_index ASC";
const char kDeleteEvents[] = "DELETE FROM t_macrorecord WHERE macro_id = ?";

const char kCountMusic[] = "select count(*) FROM t_musiclayer_data WHERE profile = ?";
const char kInsertMusic[] =
    "INSERT INTO t_musiclayer_data(profile, name, deviceindex, foremode, fore_amplitude, backmode, backb_right, sel) "
    "\t\t\t\t\t\t\t\t\t\t\t\t\tVALUES (?, ?, ?, ?, ?, ?, ?, ?);";
const char kSelectMusic[] = "SELECT * FROM t_musiclayer_data WHERE layer_id = ?";
const char kUpdateMusic[] = "UPDATE t_musiclayer_data SET deviceindex= ?, foremode= ?, fore_amplitude = ?, "
                            "backmode= ?, backb_right= ? WHERE layer_id = ?";
const char kClearMusicSel[] = "UPDATE t_musiclayer_data SET sel = ? WHERE profile = ?";
const char kSetMusicSel[] = "UPDATE t_musiclayer_data SET sel = ? WHERE profile = ? AND layer_id = ?";
const char kSelectMusicSel[] = "SELECT layer_id FROM t_musiclayer_data WHERE profile = ? AND sel = ?";

// The settings rows of a new file, all under profile 1.
const char* const kDefaultConfig[][2] = {
    {"version", "1.0.1"},      {"keyboard_layout", "1"}, {"fn_layer", "0"},       {"lightmode", "1"},
    {"sleep_light", "1"},      {"userlight", "0"},       {"customlight_run", "0"}, {"gamemode", "0"},
    {"disable_alttab", "0"},   {"disable_altf4", "0"},   {"disable_win", "0"},
};

const int kLightProfile = 1;
const int kMusicLayer = 1;
const int kModeWithoutSpeed = 9; // lighting mode whose new row has no speed and no direction

// A write succeeds when its last step reports OK, ROW or DONE.
bool StepOk(int rc) { return rc == SQLITE_OK || rc == SQLITE_ROW || rc == SQLITE_DONE; }

// Steps through every row; a step that fails part-way empties the list, so a damaged
// file never yields a silently shortened list.
template <typename Row, typename Read>
int ReadRows(SQLiteStatement& st, std::vector<Row>& rows, Read read)
{
    int rc;
    while ((rc = st.Step()) == SQLITE_ROW) {
        Row row;
        read(st, row);
        rows.push_back(std::move(row));
    }
    if (rc != SQLITE_DONE) {
        rows.clear();
        return 0;
    }
    return static_cast<int>(rows.size());
}

// The first column of the first row, or 0.
int ReadCount(SQLiteStatement& st) { return st.Step() == SQLITE_ROW ? st.ColumnInt(0) : 0; }

void ReadProfile(const SQLiteStatement& st, ProfileRow& row)
{
    row.profile = st.ColumnInt(0);
    row.name = st.ColumnWideText(1);
    row.status = st.ColumnInt(2);
    row.app = st.ColumnWideText(3);
    row.type = st.ColumnInt(4);
}

void ReadKey(const SQLiteStatement& st, KeyMacroRow& row)
{
    row.key_id = st.ColumnInt(0);
    row.profile = st.ColumnInt(1);
    row.fn_layer = st.ColumnInt(2);
    row.key_code = st.ColumnInt(3);
    row.layout_value = st.ColumnInt(4);
    row.layout_desc = st.ColumnWideText(5);
    row.macro_type = st.ColumnInt(6);
    row.macro_value = st.ColumnInt(7);
    row.macro_value2 = st.ColumnInt(8);
    row.macro_value3 = st.ColumnInt(9);
    row.macro_desc = st.ColumnWideText(10);
}

void ReadLight(const SQLiteStatement& st, LightRow& row)
{
    row.light_id = st.ColumnInt(0);
    row.profile = st.ColumnInt(1);
    row.name = st.ColumnWideText(2);
    row.mode = st.ColumnInt(3);
    row.brightness = st.ColumnInt(4);
    row.speed = st.ColumnInt(5);
    row.direction = st.ColumnInt(6);
    row.colorful = st.ColumnInt(7);
    row.colorindex = st.ColumnInt(8);
    row.color_value = st.ColumnInt(9);
    row.config_func = st.ColumnInt(10);
    row.reserved = st.ColumnInt(11);
    row.status = st.ColumnInt(12);
}

void ReadKeyLight(const SQLiteStatement& st, KeyLightRow& row)
{
    row.keylight_id = st.ColumnInt(0);
    row.profile = st.ColumnInt(1);
    row.light_id = st.ColumnInt(2);
    row.key_code = st.ColumnInt(3);
    row.key_rgb = st.ColumnInt(4);
}

void ReadMacro(const SQLiteStatement& st, MacroRow& row)
{
    row.macro_id = st.ColumnInt(0);
    row.play_times = st.ColumnInt(1);
    row.delay_type = st.ColumnInt(2);
    row.delay_time = st.ColumnInt(3);
    row.link_count = st.ColumnInt(4);
    row.name = st.ColumnWideText(5);
}

void ReadEvent(const SQLiteStatement& st, MacroEventRow& row)
{
    row.record_id = st.ColumnInt(0);
    row.macro_id = st.ColumnInt(1);
    row.type = st.ColumnInt(2);
    row.record_index = st.ColumnInt(3);
    row.desc = st.ColumnWideText(4);
    row.value = st.ColumnInt(5);
    row.delay_time = st.ColumnInt(6);
}

void ReadMusic(const SQLiteStatement& st, MusicLayerRow& row)
{
    row.layer_id = st.ColumnInt(0);
    row.profile = st.ColumnInt(1);
    row.name = st.ColumnWideText(2);
    row.deviceindex = st.ColumnInt(3);
    row.foremode = st.ColumnInt(4);
    row.fore_amplitude = st.ColumnInt(5);
    row.backmode = st.ColumnInt(6);
    row.backb_right = st.ColumnInt(7);
}

bool IsSafeModelName(const std::wstring& name)
{
    return name.find_first_of(L"\\/:") == std::wstring::npos && name.find(L"..") == std::wstring::npos;
}

bool FileExists(const std::wstring& path) { return PathFileExistsW(path.c_str()) != FALSE; }

// Deletes a file; true when it is gone (or never was there).
bool DeleteIfPresent(const std::wstring& path)
{
    if (DeleteFileW(path.c_str()))
        return true;
    return !FileExists(path);
}

} // namespace

int AssignmentKindTextId(int kind)
{
    switch (kind) {
    case kAssignDisabled: return 202;
    case kAssignFunction: return 205;
    case kAssignMacro: return 206;
    case kAssignListEntry: return 207;
    case kAssignListEntry2: return 208;
    case kAssignShortcut: return 209;
    case kAssignRunProgram: return 210;
    case kAssignOpenWeb: return 211;
    case kAssignTypeText: return 212;
    case kAssignFunctionHigh: return 205;
    default: return 0;
    }
}

// Holds the object's critical section for one scope. The section is re-entrant, so an
// operation may call another.
class ProfileDatabase::Guard {
public:
    explicit Guard(const ProfileDatabase& db) : m_cs(db.m_lock) { EnterCriticalSection(&m_cs); }
    ~Guard() { LeaveCriticalSection(&m_cs); }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

private:
    CRITICAL_SECTION& m_cs;
};

ProfileDatabase& ProfileDatabase::Instance()
{
    static ProfileDatabase instance;
    return instance;
}

ProfileDatabase::ProfileDatabase() : m_model(0), m_opened(false) { InitializeCriticalSection(&m_lock); }

ProfileDatabase::~ProfileDatabase()
{
    SQLiteDB::Close();
    DeleteCriticalSection(&m_lock);
}

std::wstring ProfileDatabase::FilePath(const std::wstring& dataFolder, const std::wstring& modelName)
{
    std::wstring path = dataFolder;
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/')
        path += L'\\';
    path += L"db\\";
    if (IsSafeModelName(modelName))
        path += modelName;
    path += L"_data_v1.db";
    return path;
}

bool ProfileDatabase::Open(const std::wstring& dataFolder, const std::wstring& modelName)
{
    Guard guard(*this);
    const std::wstring file = FilePath(dataFolder, modelName);
    const std::string path = SQLiteUtf8(file);
    if (IsOpen()) {
        if (path == m_path) {
            m_opened = true;
            return true;
        }
        // Never hand back a connection to another model's file.
        SQLiteDB::Close();
    }
    m_path = path;
    if (FileExists(file))
        m_opened = SQLiteDB::Open(m_path.c_str(), kOpenExisting);
    else
        m_opened = CreateNewFile(file);
    return m_opened;
}

bool ProfileDatabase::CreateNewFile(const std::wstring& file)
{
    if (!SQLiteDB::Open(m_path.c_str(), kOpenNew))
        return false;
    bool ok = true;
    for (const char* statement : kSchema) {
        if (Exec(statement) != SQLITE_OK)
            ok = false;
    }
    if (!ok) {
        // A file without its full schema would be opened as it is on every later start;
        // leave nothing behind so the next attempt starts over.
        SQLiteDB::Close();
        DeleteIfPresent(file);
        DeleteIfPresent(file + L"-journal");
    }
    return ok;
}

bool ProfileDatabase::SelectModel(const std::wstring& dataFolder, const std::wstring& modelName, int deviceType)
{
    Guard guard(*this);
    if (IsOpen())
        SQLiteDB::Close();
    m_opened = false;
    bool ok = Open(dataFolder, modelName);
    m_model = deviceType;
    return ok;
}

bool ProfileDatabase::RemoveFile(const std::wstring& dataFolder, const std::wstring& modelName)
{
    Guard guard(*this);
    const std::wstring file = FilePath(dataFolder, modelName);
    if (!DeleteIfPresent(file))
        return false;
    // A journal left by an interrupted write belongs to the deleted file; a new file of
    // the same name must not replay it.
    return DeleteIfPresent(file + L"-journal");
}

bool ProfileDatabase::ResetFile(const std::wstring& dataFolder, const std::wstring& modelName)
{
    Guard guard(*this);
    Close();
    bool removed = RemoveFile(dataFolder, modelName);
    bool opened = Open(dataFolder, modelName);
    return removed && opened;
}

bool ProfileDatabase::Close()
{
    Guard guard(*this);
    m_opened = false;
    return SQLiteDB::Close();
}

bool ProfileDatabase::IsOpened() const
{
    Guard guard(*this);
    return m_opened;
}

int ProfileDatabase::Model() const
{
    Guard guard(*this);
    return m_model;
}

std::string ProfileDatabase::Path() const
{
    Guard guard(*this);
    return m_path;
}

int ProfileDatabase::Insert(SQLiteStatement& statement)
{
    if (!StepOk(statement.Step()))
        return 0;
    return static_cast<int>(LastInsertRowId());
}

// ---- Default rows ----

bool ProfileDatabase::WriteDefaultConfig(const ProfileRow&)
{
    Guard guard(*this);
    SQLiteAutoTransaction transaction(this);
    if (!transaction.IsActive())
        return false;
    for (const auto& entry : kDefaultConfig) {
        SQLiteStatement st;
        Prepare(st, kInsertConfig);
        st.BindInt(1, 1);
        st.BindText(2, entry[0], -1);
        st.BindText(3, entry[1], -1);
        if (!StepOk(st.Step()))
            return false;
    }
    return transaction.Commit();
}

int ProfileDatabase::AddDefaultProfiles(const TextLookup& text)
{
    Guard guard(*this);
    const std::wstring base = text ? text(kProfileNameText) : std::wstring();
    SQLiteAutoTransaction transaction(this);
    if (!transaction.IsActive())
        return 0;
    ProfileRow row;
    row.name = base + L" 1";
    const int first = AddProfile(row);
    if (!first || !WriteDefaultConfig(row))
        return 0;
    for (const wchar_t* suffix : {L" 2", L" 3"}) {
        row.name = base + suffix;
        if (!AddProfile(row))
            return 0;
    }
    if (!SetActiveProfile(first) || !transaction.Commit())
        return 0;
    return first;
}

bool ProfileDatabase::AddDefaultLightModes(const std::vector<LightModeInfo>& modes, const LightDefaults& defaults)
{
    Guard guard(*this);
    SQLiteAutoTransaction transaction(this);
    if (!transaction.IsActive())
        return false;
    const bool mainCommandSet = defaults.deviceType >= 200 && defaults.deviceType <= 299;
    for (const LightModeInfo& info : modes) {
        LightRow row;
        row.profile = kLightProfile;
        row.name = std::to_wstring(info.textId);
        row.mode = info.mode;
        row.brightness = defaults.brightness;
        row.speed = info.mode == kModeWithoutSpeed ? 0 : defaults.speed;
        row.direction = info.mode == kModeWithoutSpeed ? 0 : (mainCommandSet ? 2 : 0);
        row.colorful = 1;
        row.colorindex = 0;
        row.color_value = 0xFF;
        row.config_func = info.attribute;
        row.reserved = 0;
        row.status = 0;
        if (!AddLightMode(row))
            return false;
    }
    if (!SetActiveLightMode(kLightProfile, defaults.mode))
        return false;
    return transaction.Commit();
}

int ProfileDatabase::AddDefaultMusicLayer(const TextLookup& text, bool rgbKeyboard)
{
    Guard guard(*this);
    const std::wstring name = (text ? text(kMusicLayerNameText) : std::wstring()) + L" 1";
    SQLiteAutoTransaction transaction(this);
    if (!transaction.IsActive())
        return 0;
    if (!AddMusicLayer(name, rgbKeyboard ? 17 : 1) || !SelectMusicLayer() || !transaction.Commit())
        return 0;
    return GetSelectedMusicLayer();
}

bool ProfileDatabase::RunInTransaction(const std::function<bool()>& change)
{
    Guard guard(*this);
    SQLiteAutoTransaction transaction(this);
    if (!transaction.IsActive() || !change())
        return false;
    return transaction.Commit();
}

// ---- Profiles ----

int ProfileDatabase::AddProfile(const ProfileRow& row)
{
    Guard guard(*this);
    SQLiteStatement st;
    Prepare(st, kInsertProfile);
    st.BindText(1, row.name);
    st.BindInt(2, 0);
    st.BindText(3, row.app);
    st.BindInt(4, 0);
    return Insert(st);
}

bool ProfileDatabase::DeleteProfile(int profile)
{
    Guard guard(*this);
    SQLiteStatement st;
    Prepare(st, kDeleteProfile);
    st.BindInt(1, profile);
    return StepOk(st.Step());
}

bool ProfileDatabase::RenameProfile(int profile, const std::wstring& name)
{
    Guard guard(*this);
    SQLiteStatement st;
    Prepare(st, kRenameProfile);
    st.BindText(1, name);
    st.BindInt(2, profile);
    return StepOk(st.Step());
}

bool ProfileDatabase::GetProfileName(int profile, std::wstring& name)
{
    Guard guard(*this);
    name.clear();
    SQLiteStatement st;
    Prepare(st, kSelectProfileName);
    st.BindInt(1, profile);
    if (st.Step() != SQLITE_ROW)
        return false;
    name = st.ColumnWideText(0);
    return true;
}

int ProfileDatabase::GetProfiles(std::vector<ProfileRow>& rows)
{
    Guard guard(*this);
    rows.clear();
    SQLiteStatement st;
    Prepare(st, kSelectProfiles);
    return ReadRows(st, rows, ReadProfile);
}

bool ProfileDatabase::SetActiveProfile(int profile)
{
    Guard guard(*this);
    SQLiteAutoTransaction transaction(this);
    if (!transaction.IsActive())
        return false;
    SQLiteStatement st;
    Prepare(st, kClearActiveProfile);
    st.BindInt(1, 0);
    if (!StepOk(st.Step()))
        return false;
    Prepare(st, kSetActiveProfile);
    st.BindInt(1, 1);
    st.BindInt(2, profile);
    return StepOk(st.Step()) && transaction.Commit();
}

int ProfileDatabase::GetActiveProfile()
{
    Guard guard(*this);
    SQLiteStatement st;
    Prepare(st, kSelectActiveProfile);
    st.BindInt(1, 1);
    return ReadCount(st);
}

// ---- Key assignments ----

int ProfileDatabase::SetKeyAssignment(const KeyMacroRow& row)
{
    if (row.key_code == 0)
        return 0;
    Guard guard(*this);
    SQLiteAutoTransaction transaction(this);
    if (!transaction.IsActive())
        return 0;
    SQLiteStatement st;
    Prepare(st, kDeleteKey);
    st.BindInt(1, row.profile);
    st.BindInt(2, row.fn_layer);
    st.BindInt(3, row.key_code);
    if (!StepOk(st.Step()))
        return 0;
    if (row.macro_value == 0 && row.macro_value2 == 0) {
        transaction.Commit();
        return 0;
    }
    Prepare(st, kInsertKey);
    st.BindInt(1, row.profile);
    st.BindInt(2, row.fn_layer);
    st.BindInt(3, row.key_code);
    st.BindInt(4, row.layout_value);
    st.BindText(5, row.layout_desc);
    st.BindInt(6, row.macro_type);
    st.BindInt(7, row.macro_value);
    st.BindInt(8, row.macro_value2);
    st.BindInt(9, row.macro_value3);
    st.BindText(10, row.macro_desc);
    const int id = Insert(st);
    if (!id || !transaction.Commit())
        return 0;
    return id;
}

bool ProfileDatabase::GetKeyAssignment(int profile, int fnLayer, int keyCode, KeyMacroRow& row)
{
    Guard guard(*this);
    SQLiteStatement st;
    Prepare(st, kSelectKey);
    st.BindInt(1, profile);
    st.BindInt(2, fnLayer);
    st.BindInt(3, keyCode);
    if (st.Step() != SQLITE_ROW)
        return false;
    ReadKey(st, row);
    return true;
}

int ProfileDatabase::GetKeyAssignments(int profile, int fnLayer, std::vector<KeyMacroRow>& rows)
{
    Guard guard(*this);
    rows.clear();
    SQLiteStatement st;
    Prepare(st, kSelectKeys);
    st.BindInt(1, profile);
    st.BindInt(2, fnLayer);
    return ReadRows(st, rows, ReadKey);
}

bool ProfileDatabase::ClearKeyAssignments(int profile)
{
    // Taken like every other operation: a statement run on this connection while
    // another thread is inside a transaction would become part of that transaction.
    Guard guard(*this);
    SQLiteStatement st;
    Prepare(st, kClearKeys);
    st.BindInt(1, profile);
    return StepOk(st.Step());
}

int ProfileDatabase::AddKeyOtherData(const std::wstring& macroDesc, const std::wstring& param, int type)
{
    Guard guard(*this);
    SQLiteStatement st;
    Prepare(st, kInsertOther);
    st.BindText(1, macroDesc);
    st.BindText(2, param);
    st.BindInt(3, type);
    return Insert(st);
}

bool ProfileDatabase::GetKeyOtherData(int id, std::wstring& macroDesc, std::wstring& param, int& type)
{
    Guard guard(*this);
    SQLiteStatement st;
    Prepare(st, kSelectOther);
    st.BindInt(1, id);
    if (st.Step() != SQLITE_ROW)
        return false;
    macroDesc = st.ColumnWideText(0);
    param = st.ColumnWideText(1);
    type = st.ColumnInt(2);
    return true;
}

// ---- Lighting modes ----

int ProfileDatabase::CountLightModes(int profile)
{
    Guard guard(*this);
    SQLiteStatement st;
    Prepare(st, kCountLights);
    st.BindInt(1, profile);
    return ReadCount(st);
}

int ProfileDatabase::AddLightMode(const LightRow& row)
{
    Guard guard(*this);
    SQLiteStatement st;
    Prepare(st, kInsertLight);
    st.BindInt(1, row.profile);
    st.BindText(2, row.name);
    st.BindInt(3, row.mode);
    st.BindInt(4, row.brightness);
    st.BindInt(5, row.speed);
    st.BindInt(6, row.direction);
    st.BindInt(7, row.colorful);
    st.BindInt(8, row.colorindex);
    st.BindInt(9, row.color_value);
    st.BindInt(10, row.config_func);
    st.BindInt(11, row.reserved);
    st.BindInt(12, row.status);
    return Insert(st);
}

bool ProfileDatabase::UpdateLightMode(int profile, int mode, const LightRow& row)
{
    Guard guard(*this);
    SQLiteStatement st;
    Prepare(st, kUpdateLight);
    st.BindInt(1, row.brightness);
    st.BindInt(2, row.speed);
    st.BindInt(3, row.direction);
    st.BindInt(4, row.colorful);
    st.BindInt(5, row.colorindex);
    st.BindInt(6, row.color_value);
    st.BindInt(7, row.config_func);
    st.BindInt(8, row.reserved);
    st.BindInt(9, profile);
    st.BindInt(10, mode);
    return StepOk(st.Step());
}

bool ProfileDatabase::SetActiveLightMode(int profile, int mode)
{
    Guard guard(*this);
    SQLiteAutoTransaction transaction(this);
    if (!transaction.IsActive())
        return false;
    SQLiteStatement st;
    Prepare(st, kClearActiveLight);
    st.BindInt(1, 0);
    if (!StepOk(st.Step()))
        return false;
    Prepare(st, kSetActiveLight);
    st.BindInt(1, 1);
    st.BindInt(2, profile);
    st.BindInt(3, mode);
    return StepOk(st.Step()) && transaction.Commit();
}

int ProfileDatabase::GetActiveLightMode(int profile)
{
    Guard guard(*this);
    SQLiteStatement st;
    Prepare(st, kSelectActiveLight);
    st.BindInt(1, profile);
    st.BindInt(2, 1);
    return ReadCount(st);
}

bool ProfileDatabase::GetLightMode(int profile, int mode, LightRow& row)
{
    Guard guard(*this);
    SQLiteStatement st;
    Prepare(st, kSelectLight);
    st.BindInt(1, profile);
    st.BindInt(2, mode);
    if (st.Step() != SQLITE_ROW)
        return false;
    ReadLight(st, row);
    return true;
}

int ProfileDatabase::GetLightModes(int profile, std::vector<LightRow>& rows)
{
    Guard guard(*this);
    rows.clear();
    SQLiteStatement st;
    Prepare(st, kSelectLights);
    st.BindInt(1, profile);
    return ReadRows(st, rows, ReadLight);
}

// ---- Per-key colours ----

int ProfileDatabase::AddKeyLightsLocked(const std::vector<KeyLightRow>& rows)
{
    if (rows.empty())
        return 0;
    SQLiteAutoTransaction transaction(this);
    if (!transaction.IsActive())
        return 0;
    for (const KeyLightRow& row : rows) {
        SQLiteStatement st;
        Prepare(st, kInsertKeyLight);
        st.BindInt(1, row.profile);
        st.BindInt(2, row.light_id);
        st.BindInt(3, row.key_code);
        st.BindInt(4, row.key_rgb);
        if (!StepOk(st.Step()))
            return 0; // the transaction rolls back every row of this call
    }
    return transaction.Commit() ? static_cast<int>(rows.size()) : 0;
}

int ProfileDatabase::AddKeyLights(const std::vector<KeyLightRow>& rows)
{
    Guard guard(*this);
    return AddKeyLightsLocked(rows);
}

bool ProfileDatabase::ClearCustomKeyLights()
{
    Guard guard(*this);
    SQLiteStatement st;
    Prepare(st, kClearKeyLights);
    st.BindInt(1, kCustomLightSet);
    return StepOk(st.Step());
}

bool ProfileDatabase::ReplaceCustomKeyLights(const std::vector<KeyLightRow>& rows)
{
    Guard guard(*this);
    SQLiteAutoTransaction transaction(this);
    if (!transaction.IsActive() || !ClearCustomKeyLights())
        return false;
    if (AddKeyLightsLocked(rows) != static_cast<int>(rows.size()))
        return false;
    return transaction.Commit();
}

int ProfileDatabase::GetKeyLights(int lightSet, std::vector<KeyLightRow>& rows)
{
    Guard guard(*this);
    rows.clear();
    SQLiteStatement st;
    Prepare(st, kSelectKeyLights);
    st.BindInt(1, lightSet);
    return ReadRows(st, rows, ReadKeyLight);
}

// ---- Macros ----

int ProfileDatabase::AddMacro(const std::wstring& name)
{
    MacroRow row;
    row.name = name;
    row.play_times = 1;
    row.delay_type = 1;
    return AddMacroRow(row);
}

int ProfileDatabase::AddMacroRow(const MacroRow& row)
{
    Guard guard(*this);
    SQLiteStatement st;
    Prepare(st, kInsertMacro);
    st.BindInt(1, row.play_times);
    st.BindInt(2, row.delay_type);
    st.BindInt(3, row.delay_time);
    st.BindInt(4, row.link_count);
    st.BindText(5, row.name);
    return Insert(st);
}

bool ProfileDatabase::RenameMacro(int macroId, const std::wstring& name)
{
    Guard guard(*this);
    SQLiteStatement st;
    Prepare(st, kRenameMacro);
    st.BindText(1, name);
    st.BindInt(2, macroId);
    return StepOk(st.Step());
}

bool ProfileDatabase::UpdateMacroPlayback(const MacroRow& row)
{
    Guard guard(*this);
    SQLiteStatement st;
    Prepare(st, kUpdateMacroPlayback);
    st.BindInt(1, row.play_times);
    st.BindInt(2, row.delay_type);
    st.BindInt(3, row.delay_time);
    st.BindInt(4, row.macro_id);
    return StepOk(st.Step());
}

bool ProfileDatabase::DeleteMacro(int macroId)
{
    Guard guard(*this);
    SQLiteAutoTransaction transaction(this);
    if (!transaction.IsActive())
        return false;
    SQLiteStatement st;
    Prepare(st, kDeleteMacro);
    st.BindInt(1, macroId);
    if (!StepOk(st.Step()))
        return false;
    Prepare(st, kDeleteEvents);
    st.BindInt(1, macroId);
    if (!StepOk(st.Step()))
        return false;
    Prepare(st, kDeleteMacroKeys);
    st.BindInt(1, kAssignMacro);
    st.BindInt(2, macroId);
    if (!StepOk(st.Step()))
        return false;
    return transaction.Commit();
}

bool ProfileDatabase::GetMacroPlayTimes(int macroId, int& playTimes)
{
    Guard guard(*this);
    SQLiteStatement st;
    Prepare(st, kSelectPlayTimes);
    st.BindInt(1, macroId);
    if (st.Step() != SQLITE_ROW)
        return false;
    playTimes = st.ColumnInt(0);
    return true;
}

bool ProfileDatabase::GetMacro(int macroId, MacroRow& row)
{
    Guard guard(*this);
    SQLiteStatement st;
    Prepare(st, kSelectMacro);
    st.BindInt(1, macroId);
    if (st.Step() != SQLITE_ROW)
        return false;
    ReadMacro(st, row);
    return true;
}

int ProfileDatabase::GetMacros(std::vector<MacroRow>& rows)
{
    Guard guard(*this);
    rows.clear();
    SQLiteStatement st;
    Prepare(st, kSelectMacros);
    return ReadRows(st, rows, ReadMacro);
}

// ---- Macro events ----

int ProfileDatabase::AddMacroEvent(const MacroEventRow& row)
{
    Guard guard(*this);
    SQLiteStatement st;
    Prepare(st, kInsertEvent);
    st.BindInt(1, row.macro_id);
    st.BindInt(2, row.type);
    st.BindInt(3, row.record_index);
    st.BindText(4, row.desc);
    st.BindInt(5, row.value);
    st.BindInt(6, row.delay_time);
    return Insert(st);
}

int ProfileDatabase::AddMacroEventsLocked(const std::vector<MacroEventRow>& rows, int macroId)
{
    if (rows.empty())
        return 0;
    SQLiteAutoTransaction transaction(this);
    if (!transaction.IsActive())
        return 0;
    for (const MacroEventRow& row : rows) {
        SQLiteStatement st;
        Prepare(st, kInsertEvent);
        st.BindInt(1, macroId ? macroId : row.macro_id);
        st.BindInt(2, row.type);
        st.BindInt(3, row.record_index);
        st.BindText(4, row.desc);
        st.BindInt(5, row.value);
        st.BindInt(6, row.delay_time);
        if (!StepOk(st.Step()))
            return 0; // the transaction rolls back every row of this call
    }
    return transaction.Commit() ? static_cast<int>(rows.size()) : 0;
}

int ProfileDatabase::AddMacroEvents(const std::vector<MacroEventRow>& rows)
{
    Guard guard(*this);
    return AddMacroEventsLocked(rows, 0);
}

bool ProfileDatabase::ReplaceMacroEvents(int macroId, const std::vector<MacroEventRow>& rows)
{
    Guard guard(*this);
    SQLiteAutoTransaction transaction(this);
    if (!transaction.IsActive() || !DeleteMacroEvents(macroId))
        return false;
    if (AddMacroEventsLocked(rows, macroId) != static_cast<int>(rows.size()))
        return false;
    return transaction.Commit();
}

int ProfileDatabase::GetMacroEvents(int macroId, std::vector<MacroEventRow>& rows)
{
    Guard guard(*this);
    rows.clear();
    SQLiteStatement st;
    Prepare(st, kSelectEvents);
    st.BindInt(1, macroId);
    return ReadRows(st, rows, ReadEvent);
}

bool ProfileDatabase::DeleteMacroEvents(int macroId)
{
    Guard guard(*this);
    SQLiteStatement st;
    Prepare(st, kDeleteEvents);
    st.BindInt(1, macroId);
    return StepOk(st.Step());
}

int ProfileDatabase::CountMacroKeyEvents(int macroId)
{
    Guard guard(*this);
    std::vector<MacroEventRow> rows;
    GetMacroEvents(macroId, rows);
    int count = 0;
    for (const MacroEventRow& row : rows) {
        if (row.type != 1)
            ++count;
    }
    return count;
}

// ---- Music lighting ----

int ProfileDatabase::CountMusicLayers()
{
    Guard guard(*this);
    SQLiteStatement st;
    Prepare(st, kCountMusic);
    st.BindInt(1, kLightProfile);
    return ReadCount(st);
}

int ProfileDatabase::AddMusicLayer(const std::wstring& name, int foremode)
{
    Guard guard(*this);
    SQLiteStatement st;
    Prepare(st, kInsertMusic);
    st.BindInt(1, kLightProfile);
    st.BindText(2, name);
    st.BindInt(3, 0);
    st.BindInt(4, foremode);
    st.BindInt(5, 300);
    st.BindInt(6, 0);
    st.BindInt(7, 100);
    st.BindInt(8, 0);
    return Insert(st);
}

bool ProfileDatabase::GetMusicLayer(int layerId, MusicLayerRow& row)
{
    Guard guard(*this);
    SQLiteStatement st;
    Prepare(st, kSelectMusic);
    st.BindInt(1, layerId);
    if (st.Step() != SQLITE_ROW)
        return false;
    ReadMusic(st, row);
    return true;
}

bool ProfileDatabase::UpdateMusicLayer(const MusicLayerRow& row)
{
    Guard guard(*this);
    SQLiteStatement st;
    Prepare(st, kUpdateMusic);
    st.BindInt(1, row.deviceindex);
    st.BindInt(2, row.foremode);
    st.BindInt(3, row.fore_amplitude);
    st.BindInt(4, row.backmode);
    st.BindInt(5, row.backb_right);
    st.BindInt(6, kMusicLayer);
    return StepOk(st.Step());
}

bool ProfileDatabase::SelectMusicLayer()
{
    Guard guard(*this);
    SQLiteAutoTransaction transaction(this);
    if (!transaction.IsActive())
        return false;
    SQLiteStatement st;
    Prepare(st, kClearMusicSel);
    st.BindInt(1, 0);
    st.BindInt(2, kLightProfile);
    if (!StepOk(st.Step()))
        return false;
    Prepare(st, kSetMusicSel);
    st.BindInt(1, 1);
    st.BindInt(2, kLightProfile);
    st.BindInt(3, kMusicLayer);
    return StepOk(st.Step()) && transaction.Commit();
}

int ProfileDatabase::GetSelectedMusicLayer()
{
    Guard guard(*this);
    SQLiteStatement st;
    Prepare(st, kSelectMusicSel);
    st.BindInt(1, kLightProfile);
    st.BindInt(2, 1);
    return ReadCount(st);
}
