#pragma once

#include <QString>
#include <QStringList>
#include <array>

namespace sondrel {

// The fourteen remembered values, in the order they are written and read.
enum class Setting {
    Interval,       // Default_Interval: text of the interval box
    Buffer,         // Default_Buffer: text of the size box
    TimeOut,        // Default_TimeOut
    Number,         // Default_Number: number of tests
    Path,           // Default_Path: folder of the last file dialog, ending in "/"
    IPtoName,       // Default_IPtoName: "0" or "1"
    HopNumber,      // Default_Hop_Number
    HostList,       // Default_Host_List
    TimeOut2,       // Default_TimeOut2
    CmdType,        // Default_CmdType: "侦测" or "跟踪"
    TraceFileName,  // Default_TraceFileName
    IPQty,          // Default_IPQty
    RepeatIP,       // Default_RepeatIP
    IfDB,           // Default_IfDB: "0" or "1"
};
constexpr int SettingCount = 14;

QString SettingName(Setting setting);

// The settings as texts, empty meaning absent, kept in a key/value file
// ($XDG_CONFIG_HOME/Sondrel/Sondrel.conf, else ~/.config/...), one key per setting name.
// An empty path keeps them in memory only.
class Settings {
  public:
    static QString DefaultPath();
    explicit Settings(QString path = DefaultPath());

    // Reads all fourteen; a missing value reads as empty, NUL characters are removed.
    void ReadSettings();
    // Writes all fourteen in one pass; returns an empty text or the error.
    QString WriteSettings();

    QString value(Setting setting) const { return values_[size_t(setting)]; }
    void setValue(Setting setting, const QString& text) { values_[size_t(setting)] = text; }
    QString path() const { return path_; }

  private:
    QString path_;
    std::array<QString, SettingCount> values_;
};

}  // namespace sondrel
