// The translator lookup of start-up, against a catalogue compiled into this test.

#include "app/StartUp.h"

#include <QCoreApplication>
#include <QTest>
#include <QTranslator>

class StartUpTest : public QObject
{
    Q_OBJECT

private slots:
    void installsTheFirstLanguageWithACatalogue_data();
    void installsTheFirstLanguageWithACatalogue();
};

void StartUpTest::installsTheFirstLanguageWithACatalogue_data()
{
    QTest::addColumn<QStringList>("languages");
    QTest::addColumn<bool>("installed");
    QTest::newRow("none preferred") << QStringList() << false;
    QTest::newRow("no catalogue") << QStringList{"fr-FR", "en-US", "zh-Hans-CN"} << false;
    QTest::newRow("second has one") << QStringList{"fr-FR", "de-DE"} << true;
    // The locale's name, not the tag, picks the file.
    QTest::newRow("language only") << QStringList{"de"} << true;
    QTest::newRow("other territory") << QStringList{"de-AT"} << false;
}

void StartUpTest::installsTheFirstLanguageWithACatalogue()
{
    QFETCH(QStringList, languages);
    QFETCH(bool, installed);
    QTranslator translator;

    QCOMPARE(installTranslatorFor(translator, languages), installed);

    QCOMPARE(QCoreApplication::translate("MainPanel", "File"),
             installed ? QStringLiteral("Datei") : QStringLiteral("File"));
    QCoreApplication::removeTranslator(&translator);
}

QTEST_GUILESS_MAIN(StartUpTest)
#include "StartUpTest.moc"
