#include "frmOpenServer.h"
#include "frmStart.h"
#include "PasswordStore.h"
#include "RecentDiaries.h"
#include "ServerAddress.h"
#include "Windows.h"

#include <QFile>
#include <QRegularExpression>
#include <QSettings>

namespace {

const QString password = QStringLiteral("Sesame-4711");
const QString reachable = QStringLiteral("127.0.0.1");

QSettings settings()
{
    return QSettings(QStringLiteral("Mealwright"), QStringLiteral("Mealwright"));
}

} // namespace

// File > Open Server..., the password in the key store, and starting again on a server diary. A
// role of its own, openserver_user, logs in with a password.
class TestOpenServer : public DiaryTest
{
    Q_OBJECT

public:
    TestOpenServer()
        : DiaryTest(TestDatabase::onServer()
                        ? QStringList{"GRANT USAGE ON SCHEMA public TO openserver_user",
                                      "GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA public TO openserver_user",
                                      "GRANT USAGE, SELECT ON ALL SEQUENCES IN SCHEMA public TO openserver_user"}
                        : QStringList())
    {
    }

private Q_SLOTS:
    void initTestCase()
    {
        if (!TestDatabase::onServer())
            QSKIP("These tests need the test server (MEALWRIGHT_TEST_SERVER).");
        qunsetenv("PGPASSWORD");
        qputenv("PGPASSFILE", "/nonexistent/pgpass");
        FileDialog::setTestMode(true);
        PasswordStore::setTestMode(true); // never a person's own key store
        QCOMPARE(TestDatabase::executeAsSuperuser(
                     {"DO $$BEGIN IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = 'openserver_user') THEN "
                      "CREATE ROLE openserver_user LOGIN; END IF; END$$",
                      "ALTER ROLE openserver_user PASSWORD '" + password + "'"}),
                 QString());
    }

    void addressFields_data()
    {
        QTest::addColumn<QStringList>("typed"); // host, port, database, user
        QTest::addColumn<bool>("encrypted");
        QTest::addColumn<QString>("uri");
        QTest::newRow("encrypted") << QStringList{"db.clinic.example", "5433", "diary", "anne"} << true
                                   << "postgresql://anne@db.clinic.example:5433/diary?sslmode=require";
        QTest::newRow("no port, unencrypted") << QStringList{"10.0.0.7", "", "meals", "bob"} << false
                                              << "postgresql://bob@10.0.0.7/meals?sslmode=prefer";
        QTest::newRow("odd characters") << QStringList{"db", "", "di\u00e4t 2026", "o'neil@clinic"} << true
                                        << "postgresql://o%27neil%40clinic@db/di%C3%A4t%202026?sslmode=require";
        QTest::newRow("IPv6") << QStringList{"::1", "5432", "d", "u"} << false << "postgresql://u@[::1]:5432/d?sslmode=prefer";
    }

    // The fields make the address, and an address fills the fields; the way a filled address is
    // encrypted stays until the box is changed.
    void addressFields()
    {
        QFETCH(QStringList, typed);
        QFETCH(bool, encrypted);
        QFETCH(QString, uri);
        frmOpenServer typing(nullptr, {});
        QCOMPARE(typing.chkEncrypted->isChecked(), true);
        fill(typing, typed, encrypted);
        QCOMPARE(typing.address().uri(), uri);

        QString kept = uri;
        kept.replace(QRegularExpression(QStringLiteral("sslmode=.*")), encrypted ? "sslmode=verify-full" : "sslmode=disable");
        frmOpenServer filled(nullptr, {});
        filled.setAddress(*ServerAddress::fromUri(kept));
        QCOMPARE(fields(filled), typed);
        QCOMPARE(filled.chkEncrypted->isChecked(), encrypted);
        QCOMPARE(filled.address().uri(), kept);
        filled.chkEncrypted->click();
        QCOMPARE(filled.address().sslMode, encrypted ? "prefer" : "require");
    }

    void refusedBeforeConnecting_data()
    {
        QTest::addColumn<QStringList>("typed");
        QTest::addColumn<QString>("focused");
        QTest::newRow("no host") << QStringList{" ", "", "diary", "anne"} << "txtHost";
        QTest::newRow("no database") << QStringList{"db", "", "", "anne"} << "txtDatabase";
        QTest::newRow("port 0") << QStringList{"db", "0", "diary", "anne"} << "txtPort";
        QTest::newRow("port too high") << QStringList{"db", "65536", "diary", "anne"} << "txtPort";
        QTest::newRow("port not a number") << QStringList{"db", "54x", "diary", "anne"} << "txtPort";
    }

    void refusedBeforeConnecting()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, focused);
        int tries = 0;
        frmOpenServer dialog(nullptr, [&tries](const ServerAddress &, const QString &, bool) {
            ++tries;
            return OpenResult{};
        });
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        fill(dialog, typed, true);
        dialog.cmdOK->click();
        QCOMPARE(tries, 0);
        const QStringList shown = messages();
        QCOMPARE(shown.size(), 1);
        QVERIFY2(shown[0].startsWith("! "), qPrintable(shown[0]));
        QCOMPARE(QApplication::focusWidget()->objectName(), focused);
        QCOMPARE(fields(dialog), typed);
        QVERIFY(dialog.isVisible());
    }

    void failedOpen_data()
    {
        QTest::addColumn<QString>("typedPassword");
        QTest::addColumn<int>("port"); // 0: the test server's
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("focused");
        QTest::newRow("wrong password") << "sesame-4711" << 0 << "tst_openserver" << "did not accept the user name or the password"
                                        << "txtPassword";
        QTest::newRow("no password") << "" << 0 << "tst_openserver" << "asks for a password" << "txtPassword";
        QTest::newRow("wrong port") << password << 1 << "tst_openserver" << "No database server answers" << "txtHost";
        QTest::newRow("no such database") << password << 0 << "openserver_nowhere" << "no database by that name"
                                          << "txtDatabase";
    }

    // The dialog says why and keeps what was typed; Cancel then leaves the diary open before as it
    // was.
    void failedOpen()
    {
        QFETCH(QString, typedPassword);
        QFETCH(int, port);
        QFETCH(QString, database);
        QFETCH(QString, said);
        QFETCH(QString, focused);
        reset();
        auto frame = startFrame(m_path);
        const QStringList typed{reachable, QString::number(port ? port : serverPort()), database, "openserver_user"};
        QStringList prefilled, shown, kept;
        QString focus;
        whenShown<frmOpenServer>([&](frmOpenServer *dialog) {
            prefilled = fields(*dialog);
            fill(*dialog, typed, false);
            dialog->txtPassword->setText(typedPassword);
            dialog->cmdOK->click();
            shown = messages();
            focus = QApplication::focusWidget()->objectName();
            kept = fields(*dialog) << dialog->txtPassword->text();
        });
        frame->mnuFileOpenServer->trigger();
        // Filled from the diary open, whose "disable" stays while the box stays clear.
        QCOMPARE(prefilled, QStringList({reachable, QString::number(serverPort()), "tst_openserver", "postgres"}));
        QCOMPARE(shown.size(), 1);
        const QString uri = userUri(database, port, "disable");
        QVERIFY2(shown[0].startsWith("X Mealwright could not open the database\n" + uri), qPrintable(shown[0]));
        QVERIFY2(shown[0].contains(said), qPrintable(shown[0]));
        QCOMPARE(focus, focused);
        QCOMPARE(kept, typed + QStringList{typedPassword});
        QCOMPARE(deMealwright::instance().path(), m_path);
        QVERIFY(deMealwright::instance().isOpen());
        QCOMPARE(frame->windowTitle(), "tst_openserver on 127.0.0.1 - Mealwright");
        QCOMPARE(deMealwright::rememberedPath(), m_path);
    }

    void goodOpen_data()
    {
        QTest::addColumn<bool>("remember");
        QTest::addColumn<bool>("storeRuns");
        QTest::addColumn<bool>("keptBefore");
        QTest::addColumn<bool>("keptAfter");
        QTest::newRow("not remembered") << false << true << false << false;
        QTest::newRow("remembered") << true << true << false << true;
        QTest::newRow("no key store") << true << false << false << false;
        QTest::newRow("no longer remembered") << false << true << true << false;
    }

    // From the start dialog: the diary opens, is remembered and listed by its address, and the
    // password is in the key store only when asked for, never in the settings.
    void goodOpen()
    {
        QFETCH(bool, remember);
        QFETCH(bool, storeRuns);
        QFETCH(bool, keptBefore);
        QFETCH(bool, keptAfter);
        reset();
        if (keptBefore)
            QVERIFY(PasswordStore::write(userUri(), password));
        PasswordStore::setTestAvailable(storeRuns);
        deMealwright::instance().close();
        whenShown<frmStart>([&](frmStart *start) {
            whenShown<frmOpenServer>([&](frmOpenServer *dialog) {
                QCOMPARE(fields(*dialog), QStringList({"", "", "", ""})); // no server diary yet
                fill(*dialog, {reachable, QString::number(serverPort()), "tst_openserver", "openserver_user"}, false);
                dialog->txtPassword->setText(password);
                dialog->chkRemember->setChecked(remember);
                dialog->cmdOK->click();
            });
            start->cmdOpenServer->click();
        });
        auto frame = startFrame();
        QCOMPARE(deMealwright::instance().path(), userUri());
        QCOMPARE(frame->windowTitle(), "tst_openserver on 127.0.0.1 - Mealwright");
        QCOMPARE(deMealwright::rememberedPath(), userUri());
        Q_EMIT frame->mnuFile->aboutToShow();
        QCOMPARE(frame->mnuFileRecent.size(), 1);
        QCOMPARE(frame->mnuFileRecent[0]->text(), "&1 tst_openserver on 127.0.0.1");
        QCOMPARE(frame->mnuFileRecent[0]->toolTip(), userUri());
        const QStringList shown = messages();
        QCOMPARE(shown.size(), storeRuns ? 0 : 1);
        if (!storeRuns)
            QVERIFY2(shown[0].startsWith("i The diary is open, but the password could not be kept"), qPrintable(shown[0]));
        PasswordStore::setTestAvailable(true);
        QCOMPARE(*PasswordStore::read(userUri()), keptAfter ? password : QString());
        QFile file(settings().fileName());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.contains("openserver_user@127.0.0.1"));
        QVERIFY(!bytes.contains(password.toUtf8()));
    }

    void nextStart_data()
    {
        QTest::addColumn<QString>("kept");    // the password in the key store
        QTest::addColumn<QString>("how");     // the address is remembered, on the command line or recent
        QTest::addColumn<QString>("asked");   // what the dialog that asks says; empty: none asks
        QTest::newRow("kept") << password << "remembered" << "";
        QTest::newRow("kept, command line") << password << "command line" << "";
        QTest::newRow("kept, recent") << password << "recent" << "";
        QTest::newRow("none kept") << "" << "remembered" << "The server asks for a password, and none was given.";
        QTest::newRow("wrong one kept") << "Sesame-0000" << "command line"
                                        << "The server did not accept the user name or the password.";
    }

    // The next start opens the server diary again with the password kept, and asks for it when
    // none is kept or the kept one is no longer right.
    void nextStart()
    {
        QFETCH(QString, kept);
        QFETCH(QString, how);
        QFETCH(QString, asked);
        reset();
        deMealwright::instance().close();
        if (!kept.isEmpty())
            QVERIFY(PasswordStore::write(userUri(), kept));
        if (how == "remembered")
            deMealwright::rememberPath(userUri());
        if (how == "recent")
            settings().setValue(QStringLiteral("Database/Recent"), QStringList{userUri()});
        QStringList seen;
        if (how == "recent")
            whenShown<frmStart>([&](frmStart *start) {
                seen << start->lstRecent->item(0)->text() << start->lstRecent->item(0)->toolTip();
                QTest::keyClick(start->lstRecent, Qt::Key_Return);
            });
        if (!asked.isEmpty())
            whenShown<frmOpenServer>([&](frmOpenServer *dialog) {
                seen << dialog->lblReason->text() << fields(*dialog) << dialog->txtPassword->text();
                dialog->txtPassword->setText(password);
                dialog->cmdOK->click();
            });
        auto frame = startFrame(how == "command line" ? userUri() : QString());
        const QStringList address{reachable, QString::number(serverPort()), "tst_openserver", "openserver_user"};
        const QStringList expected = how == "recent"    ? QStringList{"tst_openserver on 127.0.0.1", userUri()}
                                     : asked.isEmpty() ? QStringList()
                                                       : QStringList{asked} + address + QStringList{kept};
        QCOMPARE(seen, expected);
        QCOMPARE(messages(), QStringList());
        QCOMPARE(deMealwright::instance().path(), userUri());
        // A password that was kept is kept again when it is put right.
        QCOMPARE(*PasswordStore::read(userUri()), kept.isEmpty() ? QString() : password);
    }

private:
    void reset()
    {
        settings().clear();
        PasswordStore::setTestMode(true);
        MessageBox::clearShown();
    }

    int serverPort() const { return ServerAddress::fromUri(m_path)->port; }

    // The address the tests' role types into the dialog, without requiring encryption.
    QString userUri(const QString &database = QStringLiteral("tst_openserver"), int port = 0,
                    const QString &sslMode = QStringLiteral("prefer")) const
    {
        return QStringLiteral("postgresql://openserver_user@127.0.0.1:%1/%2?sslmode=%3")
            .arg(port ? port : serverPort())
            .arg(database, sslMode);
    }

    static void fill(frmOpenServer &dialog, const QStringList &typed, bool encrypted)
    {
        dialog.txtHost->setText(typed[0]);
        dialog.txtPort->setText(typed[1]);
        dialog.txtDatabase->setText(typed[2]);
        dialog.txtUser->setText(typed[3]);
        dialog.chkEncrypted->setChecked(encrypted);
    }

    static QStringList fields(const frmOpenServer &dialog)
    {
        return {dialog.txtHost->text(), dialog.txtPort->text(), dialog.txtDatabase->text(), dialog.txtUser->text()};
    }
};

QTEST_MAIN(TestOpenServer)
#include "tst_openserver.moc"
