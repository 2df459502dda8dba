#include "shared/FileLocations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

const QString kIniName = QStringLiteral("varolin.ini");
const QString kCatalogueName = QStringLiteral("varolin.mdb");

QString joined(const QString& directory, const QString& name)
{
    return directory.endsWith(QLatin1Char('/')) ? directory + name : directory + QLatin1Char('/') + name;
}

// A base folder of the XDG rules: the variable when it holds an absolute path (a relative one is
// to be ignored), else the usual folder under the home.
QString baseFolder(const QProcessEnvironment& environment, const QString& variable, const QString& underHome)
{
    const QString value = environment.value(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return QDir::cleanPath(value);
    QString home = environment.value(QStringLiteral("HOME"));
    if (home.isEmpty() || !QDir::isAbsolutePath(home))
        home = QDir::homePath();
    return QDir::cleanPath(joined(home, underHome));
}

} // namespace

FileLocations::FileLocations(const QString& programDirectory, const QProcessEnvironment& environment)
{
    const QString besideProgram = joined(programDirectory, kIniName);
    m_bPortable = QFileInfo::exists(besideProgram);
    if (m_bPortable) {
        m_sIniFile = besideProgram;
        m_sDefaultCatalogue = joined(programDirectory, kCatalogueName);
        return;
    }
    const QString config = baseFolder(environment, QStringLiteral("XDG_CONFIG_HOME"), QStringLiteral(".config"));
    const QString data = baseFolder(environment, QStringLiteral("XDG_DATA_HOME"), QStringLiteral(".local/share"));
    m_sIniFile = joined(joined(config, QStringLiteral("varolin")), kIniName);
    m_sDefaultCatalogue = joined(joined(data, QStringLiteral("varolin")), kCatalogueName);
}

bool FileLocations::prepare(QString* error) const
{
    if (m_bPortable)
        return true;
    for (const QString& file : {m_sIniFile, m_sDefaultCatalogue}) {
        const QString folder = QFileInfo(file).path();
        if (!QDir().mkpath(folder)) {
            if (error)
                *error = QStringLiteral("Varolin cannot make the folder %1 for its files.")
                             .arg(QDir::toNativeSeparators(folder));
            return false;
        }
    }
    // An existing file is the user's, whatever it holds.
    if (QFileInfo::exists(m_sIniFile) || QFileInfo(m_sIniFile).isSymLink())
        return true;
    QSaveFile file(m_sIniFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(starterIni()) < 0 || !file.commit()) {
        if (error)
            *error = QStringLiteral("Varolin cannot write its settings file %1: %2")
                         .arg(QDir::toNativeSeparators(m_sIniFile), file.errorString());
        return false;
    }
    return true;
}

QByteArray FileLocations::starterIni()
{
    QFile file(QStringLiteral(":/varolin/varolin.ini"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
