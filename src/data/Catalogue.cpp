#include "Catalogue.h"

#include "Connection.h"
#include "Foods.h"
#include "Units.h"

#include <QFile>
#include <QSet>

// The catalogue resource is compiled into the data library: it is pulled in by name, from the
// global namespace.
static void initCatalogueResource()
{
    Q_INIT_RESOURCE(catalogue);
}

namespace Catalogue {

namespace {

bool readFlag(const QByteArray &field, bool &ok)
{
    ok = field == "0" || field == "1";
    return field == "1";
}

} // namespace

Result<std::vector<CatalogueFood>> parse(const QByteArray &text)
{
    std::vector<CatalogueFood> found;
    int number = 0;
    for (QByteArray line : text.split('\n')) {
        ++number;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QList<QByteArray> f = line.split('\t');
        bool ok[7] = {};
        if (f.size() == 8) {
            CatalogueFood food;
            food.group = QString::fromUtf8(f[0]);
            food.food = QString::fromUtf8(f[1]);
            food.units = QString::fromUtf8(f[2]);
            food.caloriesPerUnit = f[3].toDouble(&ok[0]);
            food.vegetableServings = f[4].toDouble(&ok[1]);
            food.fruitServings = f[5].toDouble(&ok[2]);
            food.entree = readFlag(f[6], ok[3]);
            food.supplement = readFlag(f[7], ok[4]);
            ok[5] = !food.food.isEmpty();
            ok[6] = !food.units.isEmpty();
            if (std::all_of(std::begin(ok), std::end(ok), [](bool b) { return b; })) {
                found.push_back(std::move(food));
                continue;
            }
        }
        return Status::failure(QStringLiteral("The food catalogue is damaged at line %1.").arg(number));
    }
    if (found.empty())
        return Status::failure(QStringLiteral("The food catalogue is empty."));
    return found;
}

const Result<std::vector<CatalogueFood>> &entries()
{
    static const Result<std::vector<CatalogueFood>> loaded = []() -> Result<std::vector<CatalogueFood>> {
        initCatalogueResource();
        QFile file(QStringLiteral(":/catalogue/catalogue.tsv"));
        if (!file.open(QIODevice::ReadOnly))
            return Status::failure(QStringLiteral("The food catalogue cannot be read: %1").arg(file.errorString()));
        return parse(file.readAll());
    }();
    return loaded;
}

Status fill(Connection &connection)
{
    const Result<std::vector<CatalogueFood>> &catalogue = entries();
    if (!catalogue)
        return catalogue.status();

    Connection::Transaction transaction(connection);
    if (!transaction.status())
        return transaction.status();

    const Result<QStringList> known = Units(connection).names();
    if (!known)
        return known.status();
    QSet<QString> have;
    for (const QString &unit : known.value())
        have.insert(unit.toCaseFolded());
    for (const CatalogueFood &entry : catalogue.value()) {
        if (have.contains(entry.units.toCaseFolded()))
            continue;
        Connection::Statement add = connection.statement(QStringLiteral("INSERT INTO Units (Units) VALUES (?)"));
        if (!add.bind(entry.units).exec())
            return add.status();
        have.insert(entry.units.toCaseFolded());
    }

    Foods foods(connection);
    for (const CatalogueFood &entry : catalogue.value())
        if (const Result<qint64> added = foods.insert(entry); !added)
            return added.status();
    return transaction.commit();
}

} // namespace Catalogue
