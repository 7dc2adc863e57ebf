#include "frmEditFood.h"

#include "Controls.h"
#include "deMealwright.h"
#include "MatchList.h"
#include "MessageBox.h"
#include "Schema.h"
#include "SignPadded.h"
#include "Twips.h"
#include "Units.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>

using EntryChecks::FoodField;

namespace {

Connection &database()
{
    return deMealwright::instance().cnMealwright();
}

} // namespace

frmEditFood::frmEditFood(QWidget *parent)
    : FormDialog(parent)
    , dbcFood(Controls::textCombo(this, QStringLiteral("dbcFood"), twipRect(648, 168, 4332, 288)))
    , foodMatches(new MatchList(dbcFood))
    , txtCalories(Controls::lineEdit(this, QStringLiteral("txtCalories"), twipRect(948, 648, 732, 288)))
    , dbcUnits(Controls::textCombo(this, QStringLiteral("dbcUnits"), twipRect(2400, 648, 1692, 288)))
    , txtVegetables(Controls::lineEdit(this, QStringLiteral("txtVegetables"), twipRect(948, 1200, 732, 288)))
    , txtFruits(Controls::lineEdit(this, QStringLiteral("txtFruits"), twipRect(948, 1740, 732, 288)))
    , chkEntree(new QCheckBox(QStringLiteral("HMR Entree"), this))
    , chkSupplement(new QCheckBox(QStringLiteral("HMR Supplement"), this))
    , cmdOK(new QPushButton(QStringLiteral("&OK"), this))
    , cmdMore(new QPushButton(QStringLiteral("&More..."), this))
    , cmdCancel(new QPushButton(QStringLiteral("&Cancel"), this))
{
    Controls::fixedDialog(this, QStringLiteral("frmEditFood"), QStringLiteral("Add food"), 6336, 2136);

    const Qt::Alignment twoLines = Qt::AlignCenter;
    lblFieldLabel[3] = Controls::label(this, QStringLiteral("lblFieldLabel3"), QStringLiteral("Food"),
                                       twipRect(156, 216, 432, 240), Qt::AlignRight | Qt::AlignVCenter);
    lblFieldLabel[4] = Controls::label(this, QStringLiteral("lblFieldLabel4"), QStringLiteral("Calories per Unit"),
                                       twipRect(156, 600, 708, 396), twoLines);
    lblFieldLabel[5] = Controls::label(this, QStringLiteral("lblFieldLabel5"), QStringLiteral("Units"),
                                       twipRect(1980, 696, 360, 240), Qt::AlignRight | Qt::AlignVCenter);
    lblFieldLabel[0] = Controls::label(this, QStringLiteral("lblFieldLabel0"), QStringLiteral("Vegetable Servings"),
                                       twipRect(96, 1128, 828, 432), twoLines);
    lblFieldLabel[1] = Controls::label(this, QStringLiteral("lblFieldLabel1"), QStringLiteral("Fruit Servings"),
                                       twipRect(204, 1668, 612, 432), twoLines);
    for (const int wrapped : {4, 0, 1})
        lblFieldLabel[wrapped]->setWordWrap(true);

    chkEntree->setObjectName(QStringLiteral("chkEntree"));
    chkEntree->setGeometry(twipRect(2400, 1200, 1695, 252));
    chkSupplement->setObjectName(QStringLiteral("chkSupplement"));
    chkSupplement->setGeometry(twipRect(2400, 1680, 1695, 252));

    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(twipRect(5220, 180, 972, 372));
    cmdOK->setDefault(true);
    cmdMore->setObjectName(QStringLiteral("cmdMore"));
    cmdMore->setGeometry(twipRect(5208, 918, 972, 372));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    cmdCancel->setGeometry(twipRect(5208, 1656, 972, 372));

    Controls::setTabOrder({dbcFood, txtCalories, dbcUnits, txtVegetables, txtFruits, chkEntree, chkSupplement, cmdOK,
                           cmdMore, cmdCancel});

    connect(cmdOK, &QPushButton::clicked, this, &frmEditFood::cmdOK_click);
    connect(cmdMore, &QPushButton::clicked, this, &frmEditFood::cmdMore_click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmEditFood::cmdCancel_click);
}

bool frmEditFood::Form_Load()
{
    m_stored.reset();
    m_read.reset();
    m_closingByFrame = false;
    fEntriesSaved = false;
    dbcFood->setEnabled(true);
    dbcUnits->setEnabled(true);
    cmdMore->setEnabled(true);
    if (!foodsWritable() || !FillUnitsCombo() || !FillFoodCombo())
        return false;
    if (idFood != 0)
        return StartEditFood();
    StartAddFood();
    return true;
}

bool frmEditFood::FillUnitsCombo()
{
    return Controls::fillNames(this, dbcUnits, Units(database()).names(), QStringLiteral("units"), &m_units);
}

bool frmEditFood::FillFoodCombo()
{
    // No client here: the matches are ranked without anyone's recent foods.
    QStringList names;
    if (!Controls::fillNames(this, dbcFood, Foods(database()).names(), QStringLiteral("foods"), &names))
        return false;
    foodMatches->setNames(names);
    return true;
}

bool frmEditFood::foodsWritable()
{
    // A catalogue that is a view, not a table, takes no rows.
    const Result<bool> table = Schema::isTable(database(), QStringLiteral("Foods"));
    if (!table) {
        MessageBox::failure(this, QStringLiteral("The food table could not be read."), table.reason());
        return false;
    }
    if (!*table)
        MessageBox::critical(this, idFood != 0 ? QStringLiteral("Update not supported by rsFoods record set!")
                                               : QStringLiteral("AddNew not supported by rsFoods record set!"));
    return *table;
}

void frmEditFood::StartAddFood()
{
    setWindowTitle(QStringLiteral("Add food"));
    showEntry(FoodEntry{0, szFood, szUnits, 0, 0, 0, false, false});
    txtCalories->clear(); // the calories must be typed
    // Given a food in its units (from a meal), the calories come next.
    (szFood.isEmpty() || szUnits.isEmpty() ? static_cast<QWidget *>(dbcFood) : txtCalories)->setFocus();
}

bool frmEditFood::StartEditFood()
{
    const Result<std::optional<FoodEntry>> entry = Foods(database()).byId(idFood);
    if (!entry) {
        MessageBox::failure(this, QStringLiteral("The food entry could not be read."), entry.reason());
        return false;
    }
    if (!entry.value()) {
        MessageBox::critical(this, QStringLiteral("Unable to locate a record with ID = ") + signPadded(idFood));
        return false;
    }
    m_stored = *entry.value();
    m_read = m_stored;
    showEntry(*m_stored);
    setWindowTitle(QStringLiteral("Edit food [%1]").arg(m_stored->food));
    // Meals name an entry by its food and units: in an edit only the values may change.
    dbcFood->setEnabled(false);
    dbcUnits->setEnabled(false);
    cmdMore->setEnabled(false);
    txtCalories->setFocus();
    return true;
}

void frmEditFood::showEntry(const FoodEntry &entry)
{
    dbcFood->setEditText(entry.food);
    dbcUnits->setEditText(entry.units);
    txtCalories->setText(EntryChecks::shownValue(entry.caloriesPerUnit));
    txtVegetables->setText(EntryChecks::shownValue(entry.vegetableServings));
    txtFruits->setText(EntryChecks::shownValue(entry.fruitServings));
    chkEntree->setChecked(entry.entree);
    chkSupplement->setChecked(entry.supplement);
}

void frmEditFood::clearEntry()
{
    for (QComboBox *combo : {dbcFood, dbcUnits})
        combo->setEditText(QString());
    for (QLineEdit *box : {txtCalories, txtVegetables, txtFruits})
        box->clear();
    // A flag left untouched is no.
    chkEntree->setChecked(false);
    chkSupplement->setChecked(false);
}

QWidget *frmEditFood::control(FoodField field) const
{
    switch (field) {
    case FoodField::Food:
        return dbcFood;
    case FoodField::Calories:
        return txtCalories;
    case FoodField::Units:
        return dbcUnits;
    case FoodField::Vegetables:
        return txtVegetables;
    case FoodField::Fruits:
        return txtFruits;
    }
    return dbcFood;
}

bool frmEditFood::ValidateFood()
{
    const EntryChecks::FoodTexts texts{dbcFood->currentText(), txtCalories->text(), dbcUnits->currentText(),
                                       txtVegetables->text(), txtFruits->text()};
    // An entry being edited keeps its units, also ones the Units table lacks (another program
    // wrote them): its units cannot be changed.
    const QStringList units = m_stored ? m_units + QStringList(m_stored->units) : m_units;
    std::optional<EntryChecks::Fault<FoodField>> fault = EntryChecks::checkFood(texts, units);
    if (!fault && !m_stored) {
        // The units as the Units table spells them.
        dbcUnits->setEditText(*EntryChecks::matchingName(m_units, texts.units));
        const Result<std::optional<FoodEntry>> existing = Foods(database()).find(texts.food, dbcUnits->currentText());
        if (!existing) {
            MessageBox::failure(this, QStringLiteral("The food table could not be read."), existing.reason());
            return false;
        }
        if (existing.value())
            fault = {FoodField::Food, EntryChecks::alreadyDefined(texts.food, dbcUnits->currentText())};
    }
    if (!fault)
        return true;
    MessageBox::exclamation(this, fault->message);
    Controls::focusField(control(fault->field));
    return false;
}

Result<qint64> frmEditFood::write()
{
    const auto stored = [this](double FoodEntry::*field) {
        return m_stored ? std::optional<double>((*m_stored).*field) : std::nullopt;
    };
    FoodEntry entry = m_stored.value_or(FoodEntry{});
    entry.food = dbcFood->currentText();
    entry.units = dbcUnits->currentText();
    // ValidateFood has made sure that every box holds a number.
    entry.caloriesPerUnit =
        *EntryChecks::valueFromBox(txtCalories->text(), stored(&FoodEntry::caloriesPerUnit));
    entry.vegetableServings =
        *EntryChecks::valueFromBox(txtVegetables->text(), stored(&FoodEntry::vegetableServings));
    entry.fruitServings = *EntryChecks::valueFromBox(txtFruits->text(), stored(&FoodEntry::fruitServings));
    entry.entree = chkEntree->isChecked();
    entry.supplement = chkSupplement->isChecked();

    Foods foods(database());
    if (!m_stored) {
        const Result<qint64> added = foods.insert(entry);
        fEntriesSaved = fEntriesSaved || added.ok();
        return added;
    }
    if (const Status updated = foods.update(entry, *m_read); !updated)
        return updated;
    fEntriesSaved = true;
    m_stored = entry;
    return entry.id;
}

void frmEditFood::reportWriteFailure(const Status &failure)
{
    if (failure.isChanged()) {
        offerReload();
        return;
    }
    MessageBox::failure(this, QStringLiteral("The food entry could not be saved."), failure.reason());
    if (failure.isMissing()) {
        // Nothing was saved: the callers see a Cancel.
        cmdCancel_click();
    }
}

void frmEditFood::offerReload()
{
    const Result<std::optional<FoodEntry>> now = Foods(database()).byId(m_stored->id);
    if (!now) {
        reportWriteFailure(now.status());
        return;
    }
    if (!now.value()) {
        reportWriteFailure(Status::missing(QStringLiteral("Another user or program deleted it after it was opened here.")));
        return;
    }
    if (MessageBox::showChangedAsItIsNow(this, QStringLiteral("food entry"))) {
        m_stored = *now.value();
        showEntry(*m_stored);
        txtCalories->setFocus();
    }
    m_read = *now.value();
}

void frmEditFood::cmdOK_click()
{
    if (!ValidateFood())
        return;
    const Result<qint64> saved = write();
    if (!saved) {
        reportWriteFailure(saved.status());
        return;
    }
    szFood = dbcFood->currentText();
    szUnits = dbcUnits->currentText();
    idFood = *saved;
    accept();
}

void frmEditFood::cmdMore_click()
{
    if (!cmdMore->isEnabled() || !ValidateFood())
        return;
    const Result<qint64> saved = write();
    if (!saved) {
        reportWriteFailure(saved.status());
        return;
    }
    clearEntry();
    dbcFood->setFocus();
}

void frmEditFood::cmdCancel_click()
{
    szFood.clear();
    szUnits.clear();
    idFood = 0;
    QDialog::reject();
}

void frmEditFood::reject()
{
    // Esc is Cancel; the window frame's close box leaves the caller's values as they were.
    if (m_closingByFrame)
        QDialog::reject();
    else
        cmdCancel_click();
}

void frmEditFood::closeEvent(QCloseEvent *event)
{
    const QScopedValueRollback byFrame(m_closingByFrame, true);
    QDialog::closeEvent(event);
}
