#include "app/settings.h"

#include <QDir>
#include <QSettings>

namespace sondrel {

namespace {

const std::array<const char*, SettingCount> Names = {
    "Default_Interval", "Default_Buffer",   "Default_TimeOut",       "Default_Number",
    "Default_Path",     "Default_IPtoName", "Default_Hop_Number",    "Default_Host_List",
    "Default_TimeOut2", "Default_CmdType",  "Default_TraceFileName", "Default_IPQty",
    "Default_RepeatIP", "Default_IfDB"};

}  // namespace

QString SettingName(Setting setting) {
    return QString::fromLatin1(Names[size_t(setting)]);
}

QString Settings::DefaultPath() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + "/.config";
    return base + QStringLiteral("/Sondrel/Sondrel.conf");
}

Settings::Settings(QString path) : path_(std::move(path)) {}

void Settings::ReadSettings() {
    if (path_.isEmpty())
        return;
    const QSettings store(path_, QSettings::IniFormat);
    for (int i = 0; i < SettingCount; ++i) {
        const QVariant stored = store.value(QString::fromLatin1(Names[size_t(i)]));
        // Hand-edited files may hold lists or numbers; all are read as their text.
        QString text = stored.typeId() == QMetaType::QStringList
                           ? stored.toStringList().join(QLatin1Char(','))
                           : stored.toString();
        values_[size_t(i)] = text.remove(QChar(u'\0'));
    }
}

QString Settings::WriteSettings() {
    if (path_.isEmpty())
        return {};
    QSettings store(path_, QSettings::IniFormat);
    for (int i = 0; i < SettingCount; ++i)
        store.setValue(QString::fromLatin1(Names[size_t(i)]), values_[size_t(i)]);
    store.sync();
    switch (store.status()) {
        case QSettings::NoError:
            return {};
        case QSettings::AccessError:
            return QStringLiteral("无法写入设置文件 ") + path_;
        case QSettings::FormatError:
            return QStringLiteral("设置文件格式不正确 ") + path_;
    }
    return {};
}

}  // namespace sondrel
