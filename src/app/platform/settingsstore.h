#pragma once
// The program's own settings: the compatibility-fix switch, the window placement
// and the tool bar's edge, kept in ~/.config/Quillora.ini (or under
// $XDG_CONFIG_HOME). An unreadable, malformed or read-only file never stops the
// program: reads then give their defaults and writes are dropped.

#include <QByteArray>
#include <QString>
#include <memory>

class QSettings;

namespace app {

class SettingsStore {
public:
    SettingsStore();
    ~SettingsStore();

    QString fileName() const;

    // "setting/officefix": missing, empty or not a number counts as on.
    bool officeFix() const;
    void setOfficeFix(bool on);

    // The tool bar's stored button count; removed at every start so that the
    // buttons always come up in their designed order.
    void removeToolBarCount();

    QByteArray windowGeometry() const;
    QByteArray windowState() const;
    void setWindowPlacement(const QByteArray& geometry, const QByteArray& state, int toolBarEdge);

    // Writes pending changes; false when the file could not be written.
    bool sync();

private:
    std::unique_ptr<QSettings> m_settings;
};

} // namespace app
