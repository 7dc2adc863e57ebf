#include "PasswordStore.h"

#include <QEventLoop>
#include <QMap>

#include <qt6keychain/keychain.h>

namespace PasswordStore {

namespace {

struct TestState
{
    bool on = false;
    bool available = true;
    QMap<QString, QString> passwords;
};

TestState &testState()
{
    static TestState state;
    return state;
}

const QString service = QStringLiteral("Mealwright");

Status unavailable(const QString &detail)
{
    return Status::failure(QStringLiteral("The desktop's key store could not be reached (%1).").arg(detail));
}

// Runs a job of the key store to its end; true when it succeeded or found nothing to act on.
Status run(QKeychain::Job &job, const QString &address)
{
    job.setAutoDelete(false);
    job.setKey(address);
    QEventLoop loop;
    QObject::connect(&job, &QKeychain::Job::finished, &loop, &QEventLoop::quit);
    job.start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (job.error() == QKeychain::NoError || job.error() == QKeychain::EntryNotFound)
        return {};
    return unavailable(job.errorString());
}

} // namespace

Result<QString> read(const QString &address)
{
    TestState &test = testState();
    if (test.on)
        return test.available ? Result<QString>(test.passwords.value(address)) : unavailable(QStringLiteral("test"));
    QKeychain::ReadPasswordJob job(service);
    if (const Status done = run(job, address); !done)
        return done;
    return job.textData();
}

Status write(const QString &address, const QString &password)
{
    TestState &test = testState();
    if (test.on) {
        if (!test.available)
            return unavailable(QStringLiteral("test"));
        test.passwords.insert(address, password);
        return {};
    }
    QKeychain::WritePasswordJob job(service);
    job.setTextData(password);
    return run(job, address);
}

Status remove(const QString &address)
{
    TestState &test = testState();
    if (test.on) {
        if (!test.available)
            return unavailable(QStringLiteral("test"));
        test.passwords.remove(address);
        return {};
    }
    QKeychain::DeletePasswordJob job(service);
    return run(job, address);
}

void setTestMode(bool on)
{
    testState() = TestState{on, true, {}};
}

void setTestAvailable(bool available)
{
    testState().available = available;
}

} // namespace PasswordStore
