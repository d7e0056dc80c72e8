#include "ui/status/CommandGuard.h"

#include "ui/texts/CurrentLanguage.h"
#include "ui/texts/QtPathText.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMainWindow>
#include <QStatusBar>
#include <QTest>

#include <filesystem>
#include <stdexcept>
#include <system_error>

namespace fs = std::filesystem;

class CommandGuardTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void waitCursorOnlyWhileTheCallRuns();
    void fileSystemErrorNamesPathAndReason_data();
    void fileSystemErrorNamesPathAndReason();
    void otherFailuresAreCaughtToo();
    void successClearsAnEarlierMessage();
    void findsTheStatusBarOfTheWindow();
};

void CommandGuardTest::cleanup()
{
    currentLanguage = UiLanguage::English;
}

void CommandGuardTest::waitCursorOnlyWhileTheCallRuns()
{
    Qt::CursorShape during = Qt::ArrowCursor;
    QVERIFY(runGuarded(nullptr, FailedCommand::Load,
                       [&] { during = QGuiApplication::overrideCursor()->shape(); }));
    QCOMPARE(during, Qt::WaitCursor);
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);

    QVERIFY(!runGuarded(nullptr, FailedCommand::Load, [] { throw std::runtime_error("x"); }));
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

void CommandGuardTest::fileSystemErrorNamesPathAndReason_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("start");
    QTest::newRow("load en") << 0 << int(FailedCommand::Load)
                             << QStringLiteral("Could not load the mods folder: ");
    QTest::newRow("reload cn") << 1 << int(FailedCommand::Reload)
                               << QStringLiteral("无法重载模组：");
    QTest::newRow("import ru") << 2 << int(FailedCommand::Import)
                               << QStringLiteral("Не удалось импортировать моды: ");
    QTest::newRow("enable all en")
        << 0 << int(FailedCommand::EnableAll) << QStringLiteral("Could not enable all mods: ");
    QTest::newRow("disable all ru")
        << 2 << int(FailedCommand::DisableAll) << QStringLiteral("Не удалось отключить все моды: ");
    QTest::newRow("save cn") << 1 << int(FailedCommand::SaveDirectory)
                             << QStringLiteral("无法保存目录：");
}

void CommandGuardTest::fileSystemErrorNamesPathAndReason()
{
    QFETCH(int, language);
    QFETCH(int, command);
    QFETCH(QString, start);
    currentLanguage = static_cast<UiLanguage>(language);
    QStatusBar statusBar;
    const fs::path path = fs::path("/mods") / u8"飞机 aircraft";
    const std::error_code code = std::make_error_code(std::errc::permission_denied);
    QVERIFY(!runGuarded(&statusBar, static_cast<FailedCommand>(command), [&] {
        throw fs::filesystem_error("directory_iterator::directory_iterator", path, code);
    }));
    const QString message = statusBar.currentMessage();
    QVERIFY2(message.startsWith(start), qPrintable(message));
    QVERIFY2(message.contains(qStringFromPath(path)), qPrintable(message));
    QVERIFY2(message.contains(QString::fromLocal8Bit(code.message())), qPrintable(message));
}

void CommandGuardTest::otherFailuresAreCaughtToo()
{
    QStatusBar statusBar;
    QVERIFY(!runGuarded(&statusBar, FailedCommand::SaveLanguage,
                        [] { throw std::runtime_error("cannot convert"); }));
    QCOMPARE(statusBar.currentMessage(),
             QStringLiteral("Could not save the language (cannot convert)"));
    currentLanguage = UiLanguage::Russian;
    QVERIFY(!runGuarded(&statusBar, FailedCommand::Move, [] { throw 42; }));
    QCOMPARE(statusBar.currentMessage(),
             QStringLiteral("Не удалось переместить файл мода (неизвестная ошибка)"));
}

void CommandGuardTest::successClearsAnEarlierMessage()
{
    QStatusBar statusBar;
    statusBar.showMessage(QStringLiteral("earlier"));
    QVERIFY(runGuarded(&statusBar, FailedCommand::Reload, [] {}));
    QCOMPARE(statusBar.currentMessage(), QString());
}

void CommandGuardTest::findsTheStatusBarOfTheWindow()
{
    QMainWindow window;
    auto *inner = new QWidget(new QWidget(&window));
    QCOMPARE(statusBarOf(inner), nullptr);
    auto *statusBar = new QStatusBar;
    window.setStatusBar(statusBar);
    QCOMPARE(statusBarOf(inner), statusBar);
    QWidget loose;
    QCOMPARE(statusBarOf(&loose), nullptr);
}

QTEST_MAIN(CommandGuardTest)
#include "CommandGuardTest.moc"
