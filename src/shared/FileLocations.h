#pragma once

#include <QProcessEnvironment>
#include <QString>

// Where the program keeps varolin.ini and its catalogue. A copy with a varolin.ini in its own
// folder is portable and keeps both files there. Any other copy is installed: it keeps them in the
// user's folders ($XDG_CONFIG_HOME/varolin, $XDG_DATA_HOME/varolin) and never writes beside itself.
class FileLocations
{
public:
    explicit FileLocations(const QString& programDirectory,
                           const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

    bool isPortable() const { return m_bPortable; }
    QString iniFile() const { return m_sIniFile; }
    // The catalogue opened when varolin.ini names none.
    QString defaultCatalogue() const { return m_sDefaultCatalogue; }

    // Makes an installed copy's folders and writes the starter varolin.ini when there is none yet;
    // a portable copy needs nothing. False, with a message fit for the user in *error, when it cannot.
    bool prepare(QString* error = nullptr) const;

    // The starter configuration, as the build leaves it beside a new program.
    static QByteArray starterIni();

private:
    bool m_bPortable = false;
    QString m_sIniFile;
    QString m_sDefaultCatalogue;
};
