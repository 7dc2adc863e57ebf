#include "frmOpenServer.h"
#include "frmStart.h"
#include "PasswordStore.h"
#include "Windows.h"

#include <QSettings>

// File > Open Server..., the password in the key store, and starting again on a server diary. A
// role of the tests' own, openserver_user, logs in with a password.
class TestOpenServer : public DiaryTest
{
    Q_OBJECT

public:
    TestOpenServer() : DiaryTest({"GRANT USAGE ON SCHEMA public TO openserver_user", "GRANT USAGE ON ALL SEQUENCES IN SCHEMA public TO openserver_user",
                                  "GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA public TO openserver_user"}) {}
    static inline const QString password = QStringLiteral("Sesame-4711");
    static inline const QString caption = QStringLiteral("tst_openserver on 127.0.0.1 - Mealwright");

private Q_SLOTS:
    void initTestCase()
    {
        if (!TestDatabase::onServer())
            QSKIP("These tests need the test server (MEALWRIGHT_TEST_SERVER).");
        qunsetenv("PGPASSWORD");
        qputenv("PGPASSFILE", "/nonexistent/pgpass");
        QCOMPARE(TestDatabase::executeAsSuperuser({"DO $$BEGIN IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = "
                                                   "'openserver_user') THEN CREATE ROLE openserver_user LOGIN; END IF; END$$",
                                                   "ALTER ROLE openserver_user PASSWORD '" + password + "'"}), QString());
    }

    void failedOpen_data()
    {
        QTest::addColumn<QStringList>("typed"); // host, port, database, user, "yes" to require encryption, password
        QTest::addColumn<QString>("said");
        QTest::addColumn<QString>("focused");
        const QString host = "127.0.0.1", port = QString::number(TestOpenServer::port()), user = "openserver_user";
        QTest::newRow("no host") << QStringList{" ", port, "tst_openserver", user, "", password} << "! Type the name" << "txtHost";
        QTest::newRow("port 0") << QStringList{host, "0", "tst_openserver", user, "", password} << "! The port" << "txtPort";
        QTest::newRow("no database") << QStringList{host, port, "", user, "", password} << "! Type the name" << "txtDatabase";
        QTest::newRow("wrong password") << QStringList{host, port, "d", user, "", "sesame-4711"} << "did not accept" << "txtPassword";
        QTest::newRow("no password") << QStringList{host, port, "d", user, "", ""} << "none was given" << "txtPassword";
        // The open diary's "disable" stays while the box stays clear, and "require" follows a tick.
        QTest::newRow("wrong port") << QStringList{host, "1", "d", user, "", password} << ":1/d?sslmode=disable\n\nNo database server" << "txtHost";
        QTest::newRow("no encryption") << QStringList{host, port, "d", user, "yes", password} << "/d?sslmode=require\n\nThe server does not"
                                       << "chkEncrypted";
        QTest::newRow("no such database") << QStringList{host, port, "nowhere", user, "", password} << "no database by" << "txtDatabase";
    }

    // The dialog, filled from the diary open, says why and keeps what was typed; Cancel then
    // leaves that diary open.
    void failedOpen()
    {
        QFETCH(QStringList, typed);
        QFETCH(QString, said);
        QFETCH(QString, focused);
        reset();
        auto frame = startFrame(m_path);
        QStringList prefilled, shown;
        whenShown<frmOpenServer>([&](frmOpenServer *dialog) {
            prefilled = fields(*dialog);
            fill(*dialog, typed);
            dialog->cmdOK->click();
            shown = messages() << dialog->focusWidget()->objectName() << fields(*dialog);
        });
        frame->mnuFileOpenServer->trigger();
        QCOMPARE(prefilled, QStringList({"127.0.0.1", QString::number(port()), "tst_openserver", "postgres", "", ""}));
        QVERIFY2(shown.value(0).contains(said), qPrintable(shown.value(0)));
        QCOMPARE(shown.mid(1), QStringList{focused} + typed);
        QCOMPARE(deMealwright::instance().path(), m_path);
        QCOMPARE(frame->windowTitle(), caption);
    }

    void goodOpen_data()
    {
        QTest::addColumn<QString>("store"); // what it holds first, and whether it runs
        QTest::addColumn<bool>("remember");
        QTest::addColumn<bool>("keptAfter");
        QTest::newRow("not remembered") << "empty" << false << false;
        QTest::newRow("remembered") << "empty" << true << true;
        QTest::newRow("no key store") << "not running" << true << false;
        QTest::newRow("no longer remembered") << "password" << false << false;
    }

    // Opened from the start dialog, the diary is remembered and listed by its address, and the
    // password is kept in the key store only when asked, never in the settings. The next start
    // opens it again with the password kept, and asks for one when none is.
    void goodOpen()
    {
        QFETCH(QString, store);
        QFETCH(bool, remember);
        QFETCH(bool, keptAfter);
        reset();
        const QString uri = QStringLiteral("postgresql://openserver_user@127.0.0.1:%1/tst_openserver?sslmode=prefer").arg(port());
        QVERIFY(store != "password" || PasswordStore::write(uri, password).ok());
        PasswordStore::setTestAvailable(store != "not running");
        deMealwright::instance().close();
        whenShown<frmStart>([&](frmStart *start) {
            whenShown<frmOpenServer>([&](frmOpenServer *dialog) {
                fill(*dialog, {"127.0.0.1", QString::number(port()), "tst_openserver", "openserver_user", "", password});
                dialog->chkRemember->setChecked(remember);
                dialog->cmdOK->click();
            });
            start->cmdOpenServer->click();
        });
        auto frame = startFrame();
        QCOMPARE(deMealwright::instance().path(), uri);
        Q_EMIT frame->mnuFile->aboutToShow();
        QCOMPARE(frame->mnuFileRecent.value(0)->text(), "&1 tst_openserver on 127.0.0.1");
        QCOMPARE(frame->mnuFileRecent.value(0)->toolTip(), uri);
        QCOMPARE(messages().join('|').section(',', 0, 0), store == "not running" ? "i The diary is open" : "");
        PasswordStore::setTestAvailable(true);
        QCOMPARE(*PasswordStore::read(uri), keptAfter ? password : QString());
        QFile settings(QSettings(QStringLiteral("Mealwright"), QStringLiteral("Mealwright")).fileName());
        const QByteArray bytes = settings.open(QIODevice::ReadOnly) ? settings.readAll() : QByteArray();
        QVERIFY(bytes.contains("Name=\"" + uri.toUtf8() + "\"") && !bytes.contains(password.toUtf8()));

        frame.reset();
        QString asked;
        if (!keptAfter)
            whenShown<frmOpenServer>([&](frmOpenServer *dialog) {
                asked = dialog->lblReason->text();
                dialog->txtPassword->setText(password);
                dialog->cmdOK->click();
            });
        frame = startFrame();
        QCOMPARE(asked, keptAfter ? "" : "The server asks for a password, and none was given.");
        QCOMPARE(frame->windowTitle(), caption);
        QCOMPARE(messages(), QStringList());
    }

private:
    static void reset()
    {
        QSettings(QStringLiteral("Mealwright"), QStringLiteral("Mealwright")).clear();
        PasswordStore::setTestMode(true); // never a person's own key store
    }

    static int port() { return ServerAddress::fromUri(TestDatabase::serverDiary())->port; }

    // Types host, port, database, user, "yes" to require encryption, and the password.
    static void fill(frmOpenServer &dialog, const QStringList &typed)
    {
        const QList<QLineEdit *> boxes{dialog.txtHost, dialog.txtPort, dialog.txtDatabase, dialog.txtUser, dialog.txtPassword};
        for (int i = 0; i < boxes.size(); ++i)
            boxes[i]->setText(typed[i < 4 ? i : 5]);
        dialog.chkEncrypted->setChecked(typed[4] == "yes");
    }

    static QStringList fields(const frmOpenServer &dialog)
    {
        return {dialog.txtHost->text(), dialog.txtPort->text(), dialog.txtDatabase->text(), dialog.txtUser->text(),
                dialog.chkEncrypted->isChecked() ? "yes" : "", dialog.txtPassword->text()};
    }
};

QTEST_MAIN(TestOpenServer)
#include "tst_openserver.moc"
