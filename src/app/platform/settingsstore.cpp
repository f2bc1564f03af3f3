#include "app/platform/settingsstore.h"

#include <QSettings>

namespace app {

namespace {
const QString kOfficeFix = QStringLiteral("setting/officefix");
const QString kToolBarCount = QStringLiteral("TForm1SpeedBar1/Count");
const QString kToolBarPosition = QStringLiteral("TForm1SpeedBar1/Position");
const QString kGeometry = QStringLiteral("TForm1/Geometry");
const QString kState = QStringLiteral("TForm1/State");
}

SettingsStore::SettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                             QStringLiteral("Quillora")))
{
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::fileName() const
{
    return m_settings->fileName();
}

bool SettingsStore::officeFix() const
{
    bool ok = false;
    const int v = m_settings->value(kOfficeFix).toString().trimmed().toInt(&ok);
    return !ok || v != 0;
}

void SettingsStore::setOfficeFix(bool on)
{
    m_settings->setValue(kOfficeFix, on ? QStringLiteral("1") : QStringLiteral("0"));
}

void SettingsStore::removeToolBarCount()
{
    m_settings->remove(kToolBarCount);
}

QByteArray SettingsStore::windowGeometry() const
{
    return m_settings->value(kGeometry).toByteArray();
}

QByteArray SettingsStore::windowState() const
{
    return m_settings->value(kState).toByteArray();
}

void SettingsStore::setWindowPlacement(const QByteArray& geometry, const QByteArray& state, int toolBarEdge)
{
    m_settings->setValue(kGeometry, geometry);
    m_settings->setValue(kState, state);
    m_settings->setValue(kToolBarPosition, toolBarEdge);
}

bool SettingsStore::sync()
{
    m_settings->sync();
    return m_settings->status() == QSettings::NoError;
}

} // namespace app
