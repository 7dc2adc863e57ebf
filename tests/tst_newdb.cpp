#include "Connection.h"
#include "NewDiary.h"
#include "TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <tuple>

namespace {

// The exit code, standard output and standard error of a run of the tool. Each argument is
// passed as printf's %b makes it, so "\\0351" stands for a byte that is not UTF-8 text.
std::tuple<int, QString, QString> runTool(const QStringList &arguments, const QString &workingDirectory)
{
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
    process.start(QStringLiteral("/bin/sh"), QStringList{"-c", "for a do set -- \"$@\" \"$(printf %b \"$a\")\"; shift; done; exec \"$0\" \"$@\"",
                                                         QStringLiteral(MEALWRIGHT_NEWDB)} + arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {-1, {}, QStringLiteral("the tool did not finish normally")};
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

// The first column of every row of a statement on the database at path, opened read-only; the
// reason instead when it cannot be opened or read.
QStringList rows(const QString &path, const QString &sql)
{
    Connection connection(QStringLiteral("tst_newdb-read"));
    if (const OpenResult opened = connection.open(path, Access::ReadOnly); !opened.ok())
        return {opened.reason()};
    const Result<QStringList> found = connection.statement(sql).texts();
    return found ? *found : QStringList{found.reason()};
}

} // namespace

class TestNewDb : public QObject
{
    Q_OBJECT

private slots:
    void toolCreatesTheFile_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("fileName");
        QTest::newRow("empty") << QStringList{"new.mdb"} << "new.mdb";
        QTest::newRow("demo, blank and # in the name") << QStringList{"--demo", "my diary #2.mdb"} << "my diary #2.mdb";
        QTest::newRow("255 bytes") << QStringList{QString(251, u'n') + ".mdb"} << QString(251, u'n') + ".mdb";
    }
    void toolCreatesTheFile()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, fileName);
        QTemporaryDir dir;
        const QString path = dir.filePath(fileName);
        const bool demo = arguments.contains("--demo");
        const QString before = QDate::currentDate().toString(Qt::ISODate);
        const auto [code, out, err] = runTool(arguments, dir.path());
        QCOMPARE(std::pair(code, err), std::pair(0, QString()));
        QCOMPARE(TestDatabase::snapshot(dir.path()).keys(), QStringList{path});

        // The report says what is really in the file.
        const QString contents = rows(path, "SELECT printf('%d clients, %d foods and %,d meals', (SELECT count(*)"
                                            " FROM Clients), (SELECT count(*) FROM Foods), (SELECT count(*) FROM Meals))")
                                     .value(0);
        if (!demo)
            QCOMPARE(QStringList({contents, rows(path, "SELECT group_concat(Units) FROM (SELECT Units FROM Units ORDER BY ID)")[0]}),
                     QStringList({"0 clients, 0 foods and 0 meals", "g,oz,lb,cup,tbsp,tsp,fl oz,ml,slice,piece,serving,each,bar,packet"}));
        QCOMPARE(out, demo ? "Created " + path + " with the demo diary of " + contents + ".\n"
                           : QString("Created %1, an empty diary with the %2 standard units.\n")
                                 .arg(path, rows(path, "SELECT count(*) FROM Units").value(0)));
        // The demo diary ends today.
        const QString lastDay = rows(path, "SELECT max(substr(\"When\", 1, 10)) FROM Meals").value(0);
        QVERIFY2(!demo || lastDay == before || lastDay == QDate::currentDate().toString(Qt::ISODate), qPrintable(lastDay));
    }

    // Runs that create nothing leave the folder, which holds the file diary.mdb and the folder
    // folder.mdb, as it was.
    // The food catalogue: its foods and entries as the tool reports them and as the file holds them.
    void toolMakesTheCatalogue()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("full.mdb"));
        const auto [code, out, err] = runTool({QStringLiteral("--catalogue"), path}, dir.path());
        QCOMPARE(std::pair(code, err), std::pair(0, QString()));
        QCOMPARE(out, "Created " + path + " with the food catalogue of 5,632 foods in 16,059 entries.\n");
        QCOMPARE(rows(path, "SELECT printf('%d %d %d', count(DISTINCT Food), count(*), (SELECT count(*) FROM Units)) FROM Foods"),
                 QStringList("5632 16059 17"));
    }

    void toolLeavesTheFolder_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("text"); // on standard output for exit code 0, else on standard error; %1 the folder
        QTest::newRow("existing file") << QStringList{"diary.mdb", "--demo"} << 1 << "The file %1/diary.mdb already exists. Mealwright does not overwrite";
        QTest::newRow("existing folder") << QStringList{"folder.mdb"} << 1 << "%1/folder.mdb is a folder.";
        QTest::newRow("missing folder") << QStringList{"nowhere/a.mdb"} << 1 << "The folder %1/nowhere does not exist.";
        QTest::newRow("folder is a file") << QStringList{"diary.mdb/a.mdb"} << 1 << "%1/diary.mdb is not a folder.";
        QTest::newRow("no file") << QStringList{} << 2 << "Usage: mealwright-newdb FILE [--catalogue | --demo]";
        QTest::newRow("catalogue and demo") << QStringList{"both.mdb", "--catalogue", "--demo"} << 2
                                            << "--catalogue and --demo cannot go together";
        // A name that is not UTF-8 text would be changed; U+FFFD is what such a name reads as.
        QTest::newRow("name not UTF-8") << QStringList{"caf\\0351.mdb"} << 1 << "caf\\xE9.mdb is not UTF-8 text";
        QTest::newRow("name read from bytes not UTF-8") << QStringList{"caf\uFFFD.mdb"} << 1 << "not UTF-8 text";
        QTest::newRow("help") << QStringList{"--help", "new.mdb"} << 0 << "--demo";
    }
    void toolLeavesTheFolder()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, text);
        QTemporaryDir dir;
        QFile file(dir.filePath("diary.mdb"));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("Keep these words.\n") > 0 && file.flush());
        QVERIFY(QDir(dir.path()).mkdir("folder.mdb"));
        const QMap<QString, QByteArray> before = TestDatabase::snapshot(dir.path());
        const auto [code, out, err] = runTool(arguments, dir.path());
        QCOMPARE(code, exitCode);
        QVERIFY2((code == 0 ? out : err).contains(text.replace("%1", dir.path())), qPrintable(out + err));
        QCOMPARE(code == 0 ? err : out, QString());
        QCOMPARE(TestDatabase::snapshot(dir.path()), before);
    }

    // A new diary that fails after its file was begun leaves the folder as it was: no hidden
    // temporary file, no journal, and a file that another program put at the name untouched.
    void lateFailureLeavesNothing()
    {
        for (const bool nameTaken : {false, true}) {
            QTemporaryDir dir;
            const QString path = dir.filePath("late.mdb");
            const Status made = NewDiary::create(path, [&](Connection &connection) {
                connection.statement("INSERT INTO Clients VALUES ('Ann', 1500)").exec();
                QFile other(path); // another program's, put at the name meanwhile
                return nameTaken && other.open(QIODevice::NewOnly) && other.write("kept") ? Status() : Status::failure("full");
            });
            QVERIFY2(made.reason().contains(nameTaken ? "already exists" : "full"), qPrintable(made.reason()));
            QCOMPARE(TestDatabase::snapshot(dir.path()).keys(), nameTaken ? QStringList{path} : QStringList{});
            QFile left(path);
            QVERIFY(!nameTaken || (left.open(QIODevice::ReadOnly) && left.readAll() == "kept"));
        }
    }

    // The temporary files of a program killed while it made a diary go when the next diary is
    // made in the folder; those of a live program, recent ones and files not ours stay.
    void staleTemporariesGo()
    {
        QTemporaryDir dir;
        const QString gone = QStringLiteral(".mealwright-%1-").arg(INT_MAX); // no process has that number
        QStringList kept{gone + "2.tmp", QStringLiteral(".mealwright-%1-1.tmp").arg(QCoreApplication::applicationPid()), ".mealwright-1.tmp"};
        for (const QString &name : kept + QStringList{gone + "1.tmp", gone + "1.tmp-journal"}) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly) && (name == kept[0] || file.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime)));
        }
        QVERIFY(NewDiary::create(dir.filePath("new.mdb")));
        kept << "new.mdb";
        kept.sort();
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name), kept);
    }

};

QTEST_GUILESS_MAIN(TestNewDb)
#include "tst_newdb.moc"
