#include "fields/recoveryfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QStandardPaths>

#include <csignal>
#include <sys/types.h>

namespace fields {

namespace {

constexpr int kMaxParties = 99;

QJsonObject toJson(const RecoveryState& s)
{
    QJsonArray values;
    for (const auto& [name, value] : s.values)
        values.append(QJsonObject{{QStringLiteral("name"), name}, {QStringLiteral("value"), value}});
    return QJsonObject{{QStringLiteral("format"), 1},
                       {QStringLiteral("pid"), s.pid},
                       {QStringLiteral("file"), s.file},
                       {QStringLiteral("sellers"), s.sellers},
                       {QStringLiteral("buyers"), s.buyers},
                       {QStringLiteral("legal"), QJsonArray::fromStringList(s.legal)},
                       {QStringLiteral("values"), values}};
}

bool isCount(const QJsonValue& v)
{
    return v.isDouble() && v.toDouble() == double(v.toInt()) && v.toInt() >= 0 && v.toInt() <= kMaxParties;
}

// The reason o is no recovery state, or an empty string with state filled.
QString fromJson(const QJsonObject& o, RecoveryState& s)
{
    if (o.value(QStringLiteral("format")).toInt() != 1)
        return QStringLiteral("ismeretlen formátumú");
    if (!o.value(QStringLiteral("file")).isString() || o.value(QStringLiteral("file")).toString().isEmpty())
        return QStringLiteral("nem nevezi meg a megnyitott fájlt");
    if (!isCount(o.value(QStringLiteral("sellers"))) || !isCount(o.value(QStringLiteral("buyers"))))
        return QStringLiteral("az eladók vagy a vevők száma hibás");
    if (!o.value(QStringLiteral("legal")).isArray() || !o.value(QStringLiteral("values")).isArray())
        return QStringLiteral("hiányos");
    s.file = o.value(QStringLiteral("file")).toString();
    s.sellers = o.value(QStringLiteral("sellers")).toInt();
    s.buyers = o.value(QStringLiteral("buyers")).toInt();
    s.pid = qint64(o.value(QStringLiteral("pid")).toDouble());
    for (const QJsonValue& v : o.value(QStringLiteral("legal")).toArray()) {
        if (!v.isString())
            return QStringLiteral("a jogi személyek listája hibás");
        s.legal.append(v.toString());
    }
    for (const QJsonValue& v : o.value(QStringLiteral("values")).toArray()) {
        const QJsonObject pair = v.toObject();
        if (!pair.value(QStringLiteral("name")).isString() || !pair.value(QStringLiteral("value")).isString())
            return QStringLiteral("a mezők értékei hibásak");
        s.values.append({pair.value(QStringLiteral("name")).toString(), pair.value(QStringLiteral("value")).toString()});
    }
    return {};
}

} // namespace

QString RecoveryFile::defaultPath()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return QDir(data).filePath(QStringLiteral("Quillora/Quillora.recovery"));
}

bool RecoveryFile::write(const QString& path, const RecoveryState& state)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    RecoveryState s = state;
    if (!s.pid)
        s.pid = QCoreApplication::applicationPid();
    f.write(QJsonDocument(toJson(s)).toJson(QJsonDocument::Compact));
    return f.commit();
}

std::optional<RecoveryState> RecoveryFile::read(const QString& path, QString* problem)
{
    auto damaged = [&](const QString& why) -> std::optional<RecoveryState> {
        if (problem)
            *problem = QStringLiteral("A helyreállítási fájl („%1”) sérült: %2.").arg(QFileInfo(path).fileName(), why);
        return std::nullopt;
    };
    QFile f(path);
    if (!QFileInfo(path).isFile() || !f.open(QIODevice::ReadOnly))
        return std::nullopt;
    if (f.size() > kMaxBytes)
        return damaged(QStringLiteral("túl nagy"));
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(f.read(kMaxBytes), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return damaged(QStringLiteral("nem olvasható"));
    RecoveryState s;
    const QString why = fromJson(doc.object(), s);
    if (!why.isEmpty())
        return damaged(why);
    return s;
}

void RecoveryFile::remove(const QString& path)
{
    QFile::remove(path);
}

bool RecoveryFile::writerIsRunning(const RecoveryState& state)
{
    if (state.pid <= 0 || state.pid == QCoreApplication::applicationPid() || ::kill(pid_t(state.pid), 0) != 0)
        return false;
    // A pid the system has since given to another program is no instance of this one.
    const QString exe = QFileInfo(QStringLiteral("/proc/%1/exe").arg(state.pid)).symLinkTarget();
    return !exe.isEmpty() && QFileInfo(exe).fileName() == QFileInfo(QCoreApplication::applicationFilePath()).fileName();
}

} // namespace fields
