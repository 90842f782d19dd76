// The matcher the window starts with: the command line's, else the one stored last time, else aligned.
#include <QSettings>
#include <QTest>
#include <optional>

#include "GuiTest.h"
#include "MatchModeSetting.h"

Q_DECLARE_METATYPE(TMatchMode)

namespace {

class MatchModeSettingTest : public QObject {
    Q_OBJECT

private slots:
    void startsWithWhatTheCommandLineOrTheSettingsSay_data()
    {
        QTest::addColumn<QString>("stored");   // empty: nothing stored yet
        QTest::addColumn<int>("given");        // -1: nothing on the command line
        QTest::addColumn<TMatchMode>("expected");
        const int none = -1;
        const int classic = static_cast<int>(TMatchMode::Classic);
        const int aligned = static_cast<int>(TMatchMode::Aligned);
        QTest::newRow("first start") << QString() << none << TMatchMode::Aligned;
        QTest::newRow("classic chosen last time") << "classic" << none << TMatchMode::Classic;
        QTest::newRow("aligned chosen last time") << "aligned" << none << TMatchMode::Aligned;
        QTest::newRow("a name no matcher has") << "Classic " << none << TMatchMode::Aligned;
        QTest::newRow("--classic over a stored aligned") << "aligned" << classic << TMatchMode::Classic;
        QTest::newRow("--aligned over a stored classic") << "classic" << aligned << TMatchMode::Aligned;
    }

    void startsWithWhatTheCommandLineOrTheSettingsSay()
    {
        QFETCH(QString, stored);
        QFETCH(int, given);
        QFETCH(TMatchMode, expected);
        const TempDir dir;
        QSettings settings(QString::fromStdString(dir.Dir() + "parlanto.conf"), QSettings::IniFormat);
        if (!stored.isEmpty())
            settings.setValue("match", stored);
        const std::optional<TMatchMode> mode =
            given < 0 ? std::nullopt : std::optional(static_cast<TMatchMode>(given));
        QCOMPARE(StartMatchMode(mode, settings), expected);
    }

    // What one run stores, the next run (another settings object on the same file) starts with.
    void aChoiceSurvivesARestart()
    {
        const TempDir dir;
        const QString file = QString::fromStdString(dir.Dir() + "parlanto.conf");
        for (const TMatchMode mode : {TMatchMode::Classic, TMatchMode::Aligned, TMatchMode::Classic}) {
            {
                QSettings run(file, QSettings::IniFormat);
                StoreMatchMode(run, mode);
            }
            const QSettings nextRun(file, QSettings::IniFormat);
            QCOMPARE(StoredMatchMode(nextRun), mode);
        }
    }
};

}  // namespace

PARLANTO_GUI_TEST_MAIN(MatchModeSettingTest)
#include "MatchModeSetting_test.moc"
