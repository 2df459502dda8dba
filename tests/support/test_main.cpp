#include <gtest/gtest.h>
#include <QApplication>
#include <QTemporaryDir>

// Every test program runs with a QApplication, on the offscreen platform unless told otherwise.
int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A program folder without varolin.ini keeps its files in the user's folders: in a test run,
    // never the real ones.
    const QTemporaryDir userFolders;
    qputenv("XDG_CONFIG_HOME", userFolders.filePath(QStringLiteral("config")).toLocal8Bit());
    qputenv("XDG_DATA_HOME", userFolders.filePath(QStringLiteral("data")).toLocal8Bit());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
