#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "storage/LightModeInfo.h"
#include "storage/SQLiteDB.h"

// What a key is assigned (t_key_macro_data.macro_type).
enum AssignmentKind : int {
    kAssignDefault = 0,        // the key's own function; never stored
    kAssignDisabled = 1,       // macro_value 1
    kAssignFunction = 2,       // function-list entry below 500, or a key combination
    kAssignMacro = 3,          // macro_value = macro_id, macro_desc = macro name
    kAssignListEntry = 5,      // macro_value = the chosen entry's data
    kAssignListEntry2 = 6,     // as 5
    kAssignShortcut = 7,       // macro_value = shortcut number 1 to 15
    kAssignRunProgram = 8,     // t_key_otherdata row, path in its param
    kAssignOpenWeb = 9,        // t_key_otherdata row, address in its macro_desc
    kAssignTypeText = 10,      // t_key_otherdata row, text in its macro_desc
    kAssignSwitchProfile = 11, // t_key_otherdata row, profile id in decimal in its param
    kAssignFunctionHigh = 12,  // function-list entry of 500 or more
};

// Language text id that names an assignment kind in key tips; 0 for kinds without one.
int AssignmentKindTextId(int kind);

// Kinds whose macro_value is the id of a t_key_otherdata row.
inline bool AssignmentKindHasOtherData(int kind) { return kind >= kAssignRunProgram && kind <= kAssignSwitchProfile; }

// Rows of the profile file. Integers are the columns' values, texts their wide form.
struct ProfileRow {
    int profile = 0;
    std::wstring name;
    std::wstring app;
    int type = 0;
    int status = 0; // 1 = the active profile
};

struct KeyMacroRow {
    int key_id = 0;
    int profile = 0;
    int fn_layer = 0;
    int key_code = 0; // the key's code from the layouts file; never 0 in a stored row
    int layout_value = 0;
    std::wstring layout_desc;
    int macro_type = 0; // AssignmentKind
    int macro_value = 0;
    int macro_value2 = 0;
    int macro_value3 = 0;
    std::wstring macro_desc;
};

struct KeyOtherRow {
    int macro_value = 0;
    std::wstring macro_desc;
    std::wstring param;
    int type = 0;
};

struct MacroRow {
    int macro_id = 0;
    std::wstring name;
    int link_count = 0;
    int play_times = 0;
    int delay_type = 0;
    int delay_time = 0;
};

struct MacroEventRow {
    int record_id = 0;
    int macro_id = 0;
    int type = 0; // 2 key pressed, 3 key released
    int record_index = 0;
    int value = 0; // virtual-key code of a key event
    int delay_time = 0;
    std::wstring desc;
};

struct LightRow {
    int light_id = 0;
    int profile = 0;
    std::wstring name; // text id of the mode's display name, in decimal
    int mode = 0;
    int brightness = 0;
    int speed = 0;
    int direction = 0;
    int colorful = 0;
    int colorindex = 0;
    int color_value = 0;
    int config_func = 0;
    int reserved = 0;
    int status = 0; // 1 = the active mode
};

struct KeyLightRow {
    int keylight_id = 0;
    int profile = 0;
    int light_id = 0; // custom set: 128, 128 + n
    int key_code = 0;
    int key_rgb = 0;
};

struct MusicLayerRow {
    int layer_id = 0;
    int profile = 0;
    std::wstring name;
    int deviceindex = 0;
    int foremode = 0;
    int fore_amplitude = 0;
    int backmode = 0;
    int backb_right = 0;
};

// The model settings that new lighting rows start from.
struct LightDefaults {
    int deviceType = 0; // the model's device_type
    int mode = 0;       // mode made active
    int brightness = 0;
    int speed = 0;
};

// The profile file of the selected keyboard model: one SQLite file per model under the
// data folder ("db\<model>_data_v1.db"). Every operation holds the object's re-entrant
// lock for its whole run, so operations are atomic with respect to each other and one
// operation may call another. Results: false, 0 or an empty list on any failure; nothing
// is shown and nothing throws.
class ProfileDatabase : public SQLiteDB {
public:
    // Returns the text of a language text id (section "KB.DIALOG").
    using TextLookup = std::function<std::wstring(int textId)>;

    static constexpr int kCustomLightSet = 128;
    static constexpr int kProfileNameText = 65;
    static constexpr int kMusicLayerNameText = 101;

    // The process-wide object, created on first use from any thread.
    static ProfileDatabase& Instance();

    ProfileDatabase();
    ~ProfileDatabase() override;

    // Path of a model's file. A model name that could reach outside the data folder
    // (one holding '\', '/', ':' or "..") is treated as empty.
    static std::wstring FilePath(const std::wstring& dataFolder, const std::wstring& modelName);

    // Opens the model's file, creating it with its schema when it does not exist. A
    // connection to another file is closed first; one to this file is kept. An existing
    // file is opened as it is (a damaged file makes later operations fail). When the
    // schema of a new file cannot be created, nothing stays open and the new file is
    // removed.
    bool Open(const std::wstring& dataFolder, const std::wstring& modelName);
    // Closes whatever is open, opens the model's file and remembers its device type.
    bool SelectModel(const std::wstring& dataFolder, const std::wstring& modelName, int deviceType);
    // Deletes the model's file (and a journal left beside it); true when no file is left.
    bool RemoveFile(const std::wstring& dataFolder, const std::wstring& modelName);
    // Factory reset of the file: close, delete, open a fresh file holding only the
    // schema. When the old file cannot be deleted it is opened again unchanged and the
    // result is false.
    bool ResetFile(const std::wstring& dataFolder, const std::wstring& modelName);
    bool Close();

    bool IsOpened() const;       // result of the last Open
    int Model() const;           // device type of the selected model, 0 before the first
    std::string Path() const;    // UTF-8 path of the file last opened

    // Runs `change` as one change: under the object's lock, so no other thread's
    // operation falls between its steps, and inside one transaction that is committed when
    // `change` returns true and rolled back otherwise. False when the transaction could not
    // begin, `change` failed or the commit failed; then nothing `change` did remains.
    bool RunInTransaction(const std::function<bool()>& change);

    // Default rows of a new file.
    bool WriteDefaultConfig(const ProfileRow& = ProfileRow());
    // Profiles "<text 65> 1" to "... 3" and the settings rows; the first profile is made
    // active. All or nothing; the first profile's id or 0.
    int AddDefaultProfiles(const TextLookup& text);
    // One lighting row per mode of the model, in order, then the default mode made
    // active. All or nothing.
    bool AddDefaultLightModes(const std::vector<LightModeInfo>& modes, const LightDefaults& defaults);
    // The music-lighting record "<text 101> 1", selected; its layer id or 0.
    int AddDefaultMusicLayer(const TextLookup& text, bool rgbKeyboard);

    // Profiles.
    int AddProfile(const ProfileRow& row); // name and app; id or 0
    bool DeleteProfile(int profile);
    bool RenameProfile(int profile, const std::wstring& name);
    bool GetProfileName(int profile, std::wstring& name);
    int GetProfiles(std::vector<ProfileRow>& rows);
    bool SetActiveProfile(int profile);
    int GetActiveProfile();

    // Key assignments: at most one row per profile, Fn layer and key.
    // Replaces the key's row; a row whose macro_value and macro_value2 are both 0 only
    // removes it. New key_id, or 0 (also after a plain removal). A failure keeps the old row.
    int SetKeyAssignment(const KeyMacroRow& row);
    bool GetKeyAssignment(int profile, int fnLayer, int keyCode, KeyMacroRow& row);
    int GetKeyAssignments(int profile, int fnLayer, std::vector<KeyMacroRow>& rows);
    bool ClearKeyAssignments(int profile);
    int AddKeyOtherData(const std::wstring& macroDesc, const std::wstring& param, int type);
    // Leaves the outputs untouched and returns false when there is no such row.
    bool GetKeyOtherData(int id, std::wstring& macroDesc, std::wstring& param, int& type);

    // Lighting modes (always profile 1).
    int CountLightModes(int profile);
    int AddLightMode(const LightRow& row);
    bool UpdateLightMode(int profile, int mode, const LightRow& row);
    bool SetActiveLightMode(int profile, int mode);
    int GetActiveLightMode(int profile);
    bool GetLightMode(int profile, int mode, LightRow& row);
    int GetLightModes(int profile, std::vector<LightRow>& rows);

    // Per-key colours of custom sets. AddKeyLights stores all rows or none and returns
    // how many were stored.
    int AddKeyLights(const std::vector<KeyLightRow>& rows);
    bool ClearCustomKeyLights();
    // ClearCustomKeyLights and AddKeyLights as one change: a failure keeps the old set.
    bool ReplaceCustomKeyLights(const std::vector<KeyLightRow>& rows);
    int GetKeyLights(int lightSet, std::vector<KeyLightRow>& rows);

    // Macros (shared by all profiles).
    int AddMacro(const std::wstring& name);
    int AddMacroRow(const MacroRow& row);
    bool RenameMacro(int macroId, const std::wstring& name);
    bool UpdateMacroPlayback(const MacroRow& row);
    // Removes the macro, its events and every key row assigned to it, or nothing.
    bool DeleteMacro(int macroId);
    bool GetMacroPlayTimes(int macroId, int& playTimes);
    bool GetMacro(int macroId, MacroRow& row);
    int GetMacros(std::vector<MacroRow>& rows);

    // Macro events. AddMacroEvents stores all rows or none and returns how many were stored.
    int AddMacroEvent(const MacroEventRow& row);
    int AddMacroEvents(const std::vector<MacroEventRow>& rows);
    // DeleteMacroEvents and AddMacroEvents (rows stored under macroId) as one change: a
    // failure keeps the old events.
    bool ReplaceMacroEvents(int macroId, const std::vector<MacroEventRow>& rows);
    int GetMacroEvents(int macroId, std::vector<MacroEventRow>& rows);
    bool DeleteMacroEvents(int macroId);
    // Events that are not of type 1; 0 marks an empty macro.
    int CountMacroKeyEvents(int macroId);

    // The music-lighting record (profile 1, layer 1).
    int CountMusicLayers();
    int AddMusicLayer(const std::wstring& name, int foremode);
    bool GetMusicLayer(int layerId, MusicLayerRow& row);
    bool UpdateMusicLayer(const MusicLayerRow& row);
    bool SelectMusicLayer();
    int GetSelectedMusicLayer();

private:
    class Guard;

    bool CreateNewFile(const std::wstring& file);
    int Insert(SQLiteStatement& statement);
    int AddKeyLightsLocked(const std::vector<KeyLightRow>& rows);
    // Stores the rows under macroId, or under their own macro_id when macroId is 0.
    int AddMacroEventsLocked(const std::vector<MacroEventRow>& rows, int macroId);

    mutable CRITICAL_SECTION m_lock;
    std::string m_path;
    int m_model;
    bool m_opened;
};
