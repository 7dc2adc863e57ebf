#include "frmEditMeal.h"

#include "Clients.h"
#include "Clock.h"
#include "Controls.h"
#include "deMealwright.h"
#include "FoodMatch.h"
#include "Foods.h"
#include "frmEditFood.h"
#include "MatchList.h"
#include "MessageBox.h"
#include "SignPadded.h"
#include "Twips.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QTimeEdit>
#include <QTimer>

#include <algorithm>

using EntryChecks::MealField;

namespace {

Connection &database()
{
    return deMealwright::instance().cnMealwright();
}

// Eats the next mouse press on a window, then goes: a click that moved the focus out of a box
// whose entry was refused does nothing else (it opens no list, presses no button).
class SwallowNextPress : public QObject
{
public:
    explicit SwallowNextPress(QWidget *window) : QObject(qApp), m_window(window)
    {
        qApp->installEventFilter(this);
        // The press that moved the focus comes before anything queued now.
        QTimer::singleShot(0, this, &QObject::deleteLater);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const bool press = event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
        if (press && watched->isWidgetType() && static_cast<QWidget *>(watched)->window() == m_window) {
            deleteLater();
            return true;
        }
        return false;
    }

private:
    QWidget *m_window;
};

} // namespace

frmEditMeal::frmEditMeal(QWidget *parent)
    : FormDialog(parent)
    , dtpDate(new QDateEdit(this))
    , dtpTime(new QTimeEdit(this))
    , cmdStandardTime(new QPushButton(QStringLiteral("..."), this))
    , dbcWho(new QComboBox(this))
    , dbcFood(Controls::textCombo(this, QStringLiteral("dbcFood"), twipRect(600, 660, 4752, 288)))
    , foodMatches(new MatchList(dbcFood))
    , txtAmount(new QLineEdit(this))
    , dbcUnits(Controls::textCombo(this, QStringLiteral("dbcUnits"), twipRect(1680, 1215, 1695, 315)))
    , lstStandardTime(new QListWidget(this))
    , cmdOK(new QPushButton(QStringLiteral("&OK"), this))
    , cmdMore(new QPushButton(QStringLiteral("&More..."), this))
    , cmdCancel(new QPushButton(QStringLiteral("&Cancel"), this))
{
    Controls::fixedDialog(this, QStringLiteral("frmEditMeal"), QStringLiteral("Add meal"), 6600, 1704);

    lblFieldLabel[1] = Controls::label(this, QStringLiteral("lblFieldLabel1"), QStringLiteral("When"),
                                       twipRect(72, 156, 500, 240), Qt::AlignLeft | Qt::AlignTop);
    lblFieldLabel[2] = Controls::label(this, QStringLiteral("lblFieldLabel2"), QStringLiteral("Who"),
                                       twipRect(3588, 168, 400, 240), Qt::AlignLeft | Qt::AlignTop);
    lblFieldLabel[3] = Controls::label(this, QStringLiteral("lblFieldLabel3"), QStringLiteral("Food"),
                                       twipRect(120, 708, 460, 240), Qt::AlignLeft | Qt::AlignTop);
    lblFieldLabel[4] = Controls::label(this, QStringLiteral("lblFieldLabel4"), QStringLiteral("Amount"),
                                       twipRect(120, 1260, 700, 240), Qt::AlignLeft | Qt::AlignTop);

    // Names of days and months in US English whatever the machine's language: "Mon Mar 5 2001".
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    dtpDate->setObjectName(QStringLiteral("dtpDate"));
    dtpDate->setGeometry(twipRect(600, 108, 1632, 288));
    dtpDate->setLocale(english);
    dtpDate->setDisplayFormat(QStringLiteral("ddd MMM d yyyy"));
    dtpDate->setCalendarPopup(true);
    // Alt+Down opens the calendar, as in any date box, rather than stepping the value.
    Controls::altDownOpensCalendar(dtpDate);
    Controls::altDownOpensCalendar(dtpTime);
    dtpTime->setObjectName(QStringLiteral("dtpTime"));
    dtpTime->setLocale(english);
    dtpTime->setDisplayFormat(QStringLiteral("h:mm AP"));
    // The "..." button sits at the picker's right end; the arrow keys still step the time.
    dtpTime->setButtonSymbols(QAbstractSpinBox::NoButtons);
    if (auto *text = dtpTime->findChild<QLineEdit *>())
        text->setTextMargins(0, 0, twips(3372 - 3096) - text->x(), 0);
    cmdStandardTime->setObjectName(QStringLiteral("cmdStandardTime"));

    dbcWho->setObjectName(QStringLiteral("dbcWho"));
    dbcWho->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    txtAmount->setObjectName(QStringLiteral("txtAmount"));
    txtAmount->setGeometry(twipRect(840, 1212, 732, 288));

    for (const EntryChecks::StandardTime &time : EntryChecks::standardMealTimes())
        lstStandardTime->addItem(time.name);
    lstStandardTime->setObjectName(QStringLiteral("lstStandardTime"));
    lstStandardTime->setGeometry(twipRect(2340, 420, 1035, 1200));
    lstStandardTime->hide();

    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdMore->setObjectName(QStringLiteral("cmdMore"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    // A click on a button does not take the focus from the box being typed in, so that the
    // amount is checked once, by the button, and Cancel always cancels.
    for (QPushButton *button : {cmdStandardTime, cmdOK, cmdMore, cmdCancel})
        button->setFocusPolicy(Qt::TabFocus);

    placeControls();
    Controls::setTabOrder(
        {dtpDate, dtpTime, cmdStandardTime, dbcWho, dbcFood, txtAmount, dbcUnits, cmdOK, cmdMore, cmdCancel});
    cmdStandardTime->raise();
    lstStandardTime->raise();

    for (QWidget *watched : {static_cast<QWidget *>(dtpDate), static_cast<QWidget *>(dtpTime),
                             static_cast<QWidget *>(txtAmount), static_cast<QWidget *>(lstStandardTime)})
        watched->installEventFilter(this);
    connect(dbcFood, &QComboBox::editTextChanged, this, &frmEditMeal::dbcFood_change);
    connect(dbcWho, &QComboBox::currentTextChanged, this, &frmEditMeal::LoadRecentFoods);
    connect(cmdStandardTime, &QPushButton::clicked, this, &frmEditMeal::cmdStandardTime_click);
    connect(lstStandardTime, &QListWidget::itemDoubleClicked, this, &frmEditMeal::lstStandardTime_pick);
    connect(cmdOK, &QPushButton::clicked, this, &frmEditMeal::cmdOK_click);
    connect(cmdMore, &QPushButton::clicked, this, &frmEditMeal::cmdMore_click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

frmEditMeal::~frmEditMeal() = default;

frmEditFood &frmEditMeal::foodEditor()
{
    if (!m_foodEditor)
        m_foodEditor = std::make_unique<frmEditFood>(this);
    return *m_foodEditor;
}

void frmEditMeal::done(int result)
{
    const QScopedValueRollback closing(m_closing, true);
    QDialog::done(result);
}

bool frmEditMeal::Form_Load()
{
    fFoodDefined = false;
    m_stored.reset();
    m_read.reset();
    lstStandardTime->hide();
    cmdMore->setEnabled(true);
    {
        const QSignalBlocker quiet(dbcFood);
        dbcFood->setEditText(QString());
    }
    m_units.clear();
    Controls::setItems(dbcUnits, m_units);
    dbcUnits->setEditText(QString());
    txtAmount->clear();
    if (!LoadFoodList() || !LoadClientList())
        return false;
    placeControls();
    if (idMeal != 0 && !StartEditMeal())
        return false;
    if (idMeal == 0)
        StartAddMeal();
    LoadRecentFoods();
    return true;
}

void frmEditMeal::placeControls()
{
    // The designed widths hold a time such as "5:31 PM" and a short name. The widest time, and the
    // longest client name up to a limit, widen their boxes; what lies right of them moves over.
    const QFontMetrics metrics(dtpTime->font());
    const int textRoom = 2 * dtpTime->findChild<QLineEdit *>()->x() + twips(60);
    const int widestTime = std::max(metrics.horizontalAdvance(QStringLiteral("12:00 AM")),
                                    metrics.horizontalAdvance(QStringLiteral("12:00 PM")));
    const int timeExtra = std::max(0, widestTime + textRoom + twips(3372 - 3096) - twips(1032));
    const int whoExtra = std::clamp(dbcWho->sizeHint().width() - twips(1332), 0, twips(2000));
    const int extra = timeExtra + whoExtra;
    dtpTime->setGeometry(twipRect(2340, 108, 1032, 288).adjusted(0, 0, timeExtra, 0));
    cmdStandardTime->setGeometry(twipRect(3096, 132, 252, 252).translated(timeExtra, 0));
    lblFieldLabel[2]->setGeometry(twipRect(3588, 168, 400, 240).translated(timeExtra, 0));
    dbcWho->setGeometry(twipRect(4020, 108, 1332, 288).translated(timeExtra, 0).adjusted(0, 0, whoExtra, 0));
    dbcFood->setGeometry(twipRect(600, 660, 4752, 288).adjusted(0, 0, extra, 0));
    cmdOK->setGeometry(twipRect(5520, 60, 972, 372).translated(extra, 0));
    cmdMore->setGeometry(twipRect(5520, 630, 972, 372).translated(extra, 0));
    cmdCancel->setGeometry(twipRect(5520, 1200, 972, 372).translated(extra, 0));
    setFixedSize(twips(6600) + extra, twips(1704));
}

bool frmEditMeal::LoadFoodList()
{
    if (!Controls::fillNames(this, dbcFood, Foods(database()).names(), QStringLiteral("foods"), &m_foods))
        return false;
    foodMatches->setNames(m_foods);
    return true;
}

void frmEditMeal::LoadRecentFoods()
{
    const QString client = dbcWho->currentText();
    Result<std::vector<std::pair<QString, qint64>>> recent = std::vector<std::pair<QString, qint64>>();
    if (!client.isEmpty())
        recent = Meals(database()).mealsPerFood(client, FoodMatch::recentSpan(Clock::today()));
    if (!recent) {
        // The matches still come, only without the client's own foods first.
        MessageBox::failure(this, QStringLiteral("The foods this client ate lately could not be read."),
                            recent.reason());
        recent = std::vector<std::pair<QString, qint64>>();
    }
    foodMatches->setRecent(*recent);
}

bool frmEditMeal::LoadClientList()
{
    return Controls::fillNames(this, dbcWho, Clients(database()).names(), QStringLiteral("clients"), &m_clients);
}

void frmEditMeal::LoadUnitsList()
{
    Result<QStringList> units = Foods(database()).unitsOf(dbcFood->currentText());
    if (!units) {
        MessageBox::failure(this, QStringLiteral("The units of this food could not be read."), units.reason());
        units = QStringList();
    }
    m_units = *units;
    Controls::setItems(dbcUnits, m_units);
    txtAmount->setEnabled(true);
    dbcUnits->setEnabled(true);
}

void frmEditMeal::dbcFood_change()
{
    LoadUnitsList();
    if (!EntryChecks::matchingName(m_units, dbcUnits->currentText()))
        dbcUnits->setEditText(QString());
}

void frmEditMeal::StartAddMeal()
{
    setWindowTitle(QStringLiteral("Add meal"));
    const QDateTime when = dtMeal.isValid() ? dtMeal : Clock::now();
    dtpDate->setDate(when.date());
    dtpTime->setTime(when.time());
    const std::optional<QString> client = EntryChecks::matchingName(m_clients, szClient);
    dbcWho->setCurrentIndex(client ? dbcWho->findText(*client) : -1);
    // The amount and units wait for a food.
    txtAmount->setEnabled(false);
    dbcUnits->setEnabled(false);
    cmdMore->setEnabled(true);
    dtpDate->setFocus();
}

bool frmEditMeal::StartEditMeal()
{
    const QString idText = signPadded(idMeal);
    setWindowTitle(QStringLiteral("Edit meal [%1]").arg(idText));
    const Result<std::optional<Meal>> meal = Meals(database()).byId(idMeal);
    if (!meal) {
        MessageBox::failure(this, QStringLiteral("The meal could not be read."), meal.reason());
        return false;
    }
    if (!meal.value()) {
        MessageBox::critical(this, QStringLiteral("Unable to locate a record with ID = ") + idText);
        return false;
    }
    m_stored = *meal.value();
    m_read = m_stored;
    showMeal(*m_stored);
    if (!m_stored->when.isValid())
        MessageBox::exclamation(this, QStringLiteral("The time of this meal, '%1', is not a date and time Mealwright "
                                                     "can read. It shows as now, and it is kept as it is unless you "
                                                     "change the date or the time.")
                                          .arg(m_stored->whenAsStored));
    cmdMore->setEnabled(false); // More... is for adding only
    dtpDate->setFocus();
    return true;
}

void frmEditMeal::showMeal(const Meal &meal)
{
    // A stored moment that is not a date-time shows as now; it is kept unless OK is pressed.
    const QDateTime when = meal.when.isValid() ? meal.when : Clock::now();
    dtpDate->setDate(when.date());
    dtpTime->setTime(when.time());
    m_shownWhen = EntryChecks::joinDateAndTime(dtpDate->date(), dtpTime->time());
    // A meal of a client the client list lacks keeps its client.
    if (dbcWho->findText(meal.who) < 0)
        dbcWho->addItem(meal.who);
    dbcWho->setCurrentIndex(dbcWho->findText(meal.who));
    dbcFood->setEditText(meal.food); // loads the units of the food
    txtAmount->setText(EntryChecks::shownValue(meal.amount));
    dbcUnits->setEditText(meal.units);
}

QWidget *frmEditMeal::control(MealField field) const
{
    switch (field) {
    case MealField::Client:
        return dbcWho;
    case MealField::Food:
        return dbcFood;
    case MealField::Amount:
        return txtAmount;
    case MealField::Units:
        return dbcUnits;
    }
    return dbcFood;
}

bool frmEditMeal::OfferFoodEditor(const QString &message)
{
    if (!MessageBox::question(this, message))
        return false;
    frmEditFood &editor = foodEditor();
    editor.idFood = 0;
    editor.szFood = dbcFood->currentText();
    editor.szUnits = dbcUnits->currentText();
    editor.exec();
    // Entries saved by More... before a Cancel are in the catalogue too.
    if (editor.fEntriesSaved) {
        fFoodDefined = true;
        LoadFoodList();
        LoadUnitsList();
    }
    if (editor.idFood == 0)
        return false;
    dbcFood->setEditText(editor.szFood); // a new name loads its units
    dbcUnits->setEditText(editor.szUnits);
    return true;
}

bool frmEditMeal::ValidateMeal()
{
    const QDateTime when = EntryChecks::joinDateAndTime(dtpDate->date(), dtpTime->time());
    dtpDate->setDate(when.date());
    dtpTime->setTime(when.time());

    // A food defined on the spot sends the entry through the checks again; it is in the
    // catalogue then, so this ends.
    for (int round = 0; round < 3; ++round) {
        const EntryChecks::MealCheck check = EntryChecks::checkMeal(
            {dbcWho->currentText(), dbcFood->currentText(), txtAmount->text(), dbcUnits->currentText()}, m_foods,
            m_units);
        switch (check.outcome) {
        case EntryChecks::MealCheck::Outcome::Pass:
            // The food and units as the catalogue spells them.
            dbcFood->setEditText(*EntryChecks::matchingName(m_foods, dbcFood->currentText()));
            dbcUnits->setEditText(*EntryChecks::matchingName(m_units, dbcUnits->currentText()));
            return true;
        case EntryChecks::MealCheck::Outcome::Fault:
            MessageBox::exclamation(this, check.message);
            break;
        case EntryChecks::MealCheck::Outcome::OfferFood:
        case EntryChecks::MealCheck::Outcome::OfferUnits:
            if (OfferFoodEditor(check.message))
                continue;
            break;
        }
        Controls::focusField(control(check.field));
        return false;
    }
    return false;
}

bool frmEditMeal::saveMeal()
{
    if (!ValidateMeal())
        return false;
    Meal meal = m_stored.value_or(Meal{});
    meal.when = EntryChecks::joinDateAndTime(dtpDate->date(), dtpTime->time());
    // The time as stored, in whatever form, unless the user changed it.
    if (meal.when != m_shownWhen)
        meal.whenAsStored.clear();
    meal.who = dbcWho->currentText();
    meal.food = dbcFood->currentText();
    meal.amount = *EntryChecks::valueFromBox(
        txtAmount->text(), m_stored ? std::optional<double>(m_stored->amount) : std::nullopt);
    meal.units = dbcUnits->currentText();

    Meals meals(database());
    const Status saved = m_stored ? meals.update(meal, *m_read) : meals.insert(meal).status();
    if (saved.isChanged())
        return offerReload(meals);
    if (!saved) {
        MessageBox::failure(this, QStringLiteral("The meal could not be saved."), saved.reason());
        if (saved.isMissing()) {
            reject(); // nothing to save it over: it is not written again
        } else if (LoadClientList() && LoadFoodList()) {
            // Another program may have renamed or deleted the client or the food meanwhile: the
            // lists as the diary holds them now, to choose from again.
            LoadUnitsList();
        }
        return false;
    }
    if (m_stored)
        m_stored = meal;
    return true;
}

bool frmEditMeal::offerReload(Meals &meals)
{
    const Result<std::optional<Meal>> now = meals.byId(m_stored->id);
    if (!now || !now.value()) {
        MessageBox::failure(this, QStringLiteral("The meal could not be saved."),
                            now ? QStringLiteral("Another user or program deleted it after it was opened here.")
                                : now.reason());
        if (now)
            reject(); // nothing to save it over
        return false;
    }
    if (MessageBox::showChangedAsItIsNow(this, QStringLiteral("meal"))) {
        m_stored = *now.value();
        showMeal(*m_stored);
        dtpDate->setFocus();
    }
    m_read = *now.value();
    return false;
}

void frmEditMeal::cmdOK_click()
{
    if (saveMeal())
        accept();
}

void frmEditMeal::cmdMore_click()
{
    if (!cmdMore->isEnabled() || !saveMeal())
        return;
    // The next item of the same meal starts as a copy of this one, not saved yet.
    setWindowTitle(QStringLiteral("Add meal"));
    LoadRecentFoods(); // the food saved counts now
    Controls::focusField(dbcFood);
}

void frmEditMeal::cmdStandardTime_click()
{
    // The time shown is highlighted when it is one of the list, otherwise the first.
    const std::vector<EntryChecks::StandardTime> &times = EntryChecks::standardMealTimes();
    const auto shown = std::find_if(times.begin(), times.end(), [this](const EntryChecks::StandardTime &time) {
        return time.time == dtpTime->time();
    });
    lstStandardTime->setCurrentRow(shown == times.end() ? 0 : int(shown - times.begin()));
    lstStandardTime->show();
    lstStandardTime->setFocus();
    // Enter and Esc go to the list while it is open.
    cmdOK->setDefault(false);
    cmdOK->setAutoDefault(false);
}

void frmEditMeal::lstStandardTime_pick()
{
    const int row = lstStandardTime->currentRow();
    if (row >= 0 && lstStandardTime->currentItem()->isSelected())
        dtpTime->setTime(EntryChecks::standardMealTimes()[size_t(row)].time);
    dtpTime->setFocus();
}

void frmEditMeal::lstStandardTime_leave()
{
    lstStandardTime->hide();
    cmdOK->setAutoDefault(true);
    cmdOK->setDefault(true);
}

void frmEditMeal::txtAmount_validate(Qt::FocusReason reason)
{
    // The user leaves the box by the keyboard or the mouse; a move made by the dialog itself, or
    // to another window (a message, the food editor) or a menu, is not leaving it. The buttons
    // check the amount themselves, and Cancel and closing never do.
    const bool byTheUser = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason
                           || reason == Qt::MouseFocusReason || reason == Qt::ShortcutFocusReason;
    const QWidget *next = QApplication::focusWidget();
    if (!byTheUser || m_checkingAmount || m_closing || !isVisible() || next == cmdOK || next == cmdMore
        || next == cmdCancel)
        return;
    const std::optional<QString> fault = EntryChecks::amountFault(txtAmount->text());
    if (!fault)
        return;
    const QScopedValueRollback checking(m_checkingAmount, true);
    MessageBox::exclamation(this, *fault);
    txtAmount->setFocus(); // selects the text again
    if (reason == Qt::MouseFocusReason)
        new SwallowNextPress(this);
}

bool frmEditMeal::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == dtpDate || watched == dtpTime) && event->type() == QEvent::KeyPress) {
        // Tab goes on to the next control, not to the picker's next part (the arrow keys move
        // between its parts).
        const int key = static_cast<QKeyEvent *>(event)->key();
        const Qt::KeyboardModifiers modifiers = static_cast<QKeyEvent *>(event)->modifiers();
        if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) && !(modifiers & (Qt::ControlModifier | Qt::AltModifier))) {
            focusNextPrevChild(key == Qt::Key_Tab && !(modifiers & Qt::ShiftModifier));
            return true;
        }
    }
    if (watched == txtAmount) {
        if (event->type() == QEvent::FocusIn)
            QTimer::singleShot(0, txtAmount, &QLineEdit::selectAll); // after a click has placed the cursor
        else if (event->type() == QEvent::FocusOut)
            txtAmount_validate(static_cast<QFocusEvent *>(event)->reason());
    } else if (watched == lstStandardTime) {
        if (event->type() == QEvent::FocusOut) {
            lstStandardTime_leave();
        } else if (event->type() == QEvent::KeyPress) {
            switch (static_cast<QKeyEvent *>(event)->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Space:
                lstStandardTime_pick();
                return true;
            case Qt::Key_Escape:
            case Qt::Key_Cancel:
                dtpTime->setFocus();
                return true;
            default:
                break;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}
