#include "frmFoodView.h"

#include "Controls.h"
#include "deMealwright.h"
#include "FoodRows.h"
#include "Foods.h"
#include "frmSearchOptions.h"
#include "GridModel.h"
#include "MessageBox.h"
#include "SignPadded.h"
#include "Twips.h"

#include <QHeaderView>
#include <QMdiSubWindow>
#include <QTableView>

namespace {

const QString caption = QStringLiteral("Food View");

std::vector<GridModel::Column> designedColumns()
{
    using G = GridModel;
    return {
        G::column("ID", CatalogueField::ID, "0", false, false, 408),
        G::column("Description", CatalogueField::Food, "", true, false, 3360),
        G::column("Calories", CatalogueField::CaloriesPerUnit, "#,##0", true, true, 708),
        G::column("Units", CatalogueField::Units, "", true, false, 1104),
        G::column("Vegs", CatalogueField::VegetableServings, "0.00", true, true, 528),
        G::column("Fruits", CatalogueField::FruitServings, "0.00", true, true, 528),
    };
}

Connection &database()
{
    return deMealwright::instance().cnMealwright();
}

QString entryName(const QString &food, const QString &units)
{
    return QStringLiteral("\"%1\" in units \"%2\"").arg(food, units);
}

} // namespace

frmFoodView::frmFoodView(QWidget *parent)
    : QWidget(parent)
    , m_model(new GridModel(designedColumns(), this))
{
    setObjectName(QStringLiteral("frmFoodView"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(designFont());
    setWindowTitle(caption);

    dbgFoods = new QTableView(this);
    dbgFoods->setObjectName(QStringLiteral("dbgFoods"));
    dbgFoods->setModel(m_model);
    GridModel::setUpView(dbgFoods);
    GridModel::showCurrentRow(dbgFoods);
    // The grid fills the designed client area; the "Description" column takes up any change.
    resize(sizeHint());
    dbgFoods->setGeometry(rect());
    Controls::onRightClick(dbgFoods, [this] { Q_EMIT popupMenuRequested(); });

    connect(dbgFoods->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &frmFoodView::dbgFoods_selectionChanged);
    connect(dbgFoods->horizontalHeader(), &QHeaderView::sectionClicked, this, &frmFoodView::dbgFoods_HeadClick);
}

frmFoodView::~frmFoodView() = default;

QSize frmFoodView::sizeHint() const
{
    return QSize(twips(6660), twips(4440));
}

void frmFoodView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget())) {
        // At least 5000 twips wide and ten grid rows high, frame included.
        frame->setMinimumSize(twips(5000), 10 * dbgFoods->verticalHeader()->defaultSectionSize());
    }
    if (!m_loaded) {
        m_loaded = true;
        Form_Load();
    }
}

void frmFoodView::Form_Load()
{
    idSelected = 0;
    ReQueryFoods(0);
    dbgFoods->clearSelection();
}

void frmFoodView::ReQueryFoods(qint64 idFood)
{
    const Result<std::vector<FoodEntry>> entries = Foods(database()).all();
    if (!entries) {
        m_model->setRows(nullptr);
        rsFoods.reset();
        dbgFoods_selectionChanged();
        MessageBox::failure(this, QStringLiteral("The food list could not be read from the database."), entries.reason());
        return;
    }
    rsFoods = std::make_shared<FoodRows>(std::move(entries.value()));
    rsFoods->sort(fieldName(CatalogueField::Food) + QStringLiteral(" ASC"));
    m_model->setRows(rsFoods);

    const int found = idFood != 0 ? rsFoods->find(idFood) : -1;
    if (found >= 0) {
        const QModelIndex index = m_model->index(found, m_model->descriptionColumn());
        dbgFoods->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect
                                                               | QItemSelectionModel::Rows);
        dbgFoods->scrollTo(index);
    } else {
        moveTo(0);
    }
    // What is selected now is what Edit and Delete act on.
    dbgFoods_selectionChanged();
}

int frmFoodView::currentRow() const
{
    const QModelIndex current = dbgFoods->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void frmFoodView::moveTo(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    const QModelIndex index = m_model->index(row, m_model->descriptionColumn());
    dbgFoods->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    dbgFoods->scrollTo(index);
}

void frmFoodView::dbgFoods_selectionChanged()
{
    setWindowTitle(caption);
    idSelected = 0;
    if (!rsFoods)
        return;
    // Exactly one whole row names an entry. Several rows, or a range of columns, stay
    // highlighted but select none.
    const QHeaderView *columns = dbgFoods->horizontalHeader();
    const int firstColumn = columns->logicalIndex(columns->visualIndexAt(0));
    const int lastColumn = m_model->columnCount() - 1;
    int row = -1;
    for (const QItemSelectionRange &range : dbgFoods->selectionModel()->selection()) {
        if (range.left() > firstColumn || range.right() < lastColumn)
            return;
        if (range.height() > 1 || (row >= 0 && row != range.top()))
            return;
        row = range.top();
    }
    if (row < 0)
        return;
    moveTo(row);
    const FoodEntry &entry = rsFoods->at(row);
    idSelected = entry.id;
    setWindowTitle(caption + QStringLiteral(" [") + entry.food + QLatin1Char(']'));
}

void frmFoodView::dbgFoods_HeadClick(int column)
{
    // The rows keep their selection and the cursor its row; only the order changes.
    m_model->sortByColumn(column);
}

void frmFoodView::setSearchOptions(frmSearchOptions *dialog)
{
    m_searchOptions = dialog;
}

frmSearchOptions &frmFoodView::searchOptions()
{
    if (m_searchOptions)
        return *m_searchOptions;
    if (!m_ownSearchOptions)
        m_ownSearchOptions = std::make_unique<frmSearchOptions>(this);
    return *m_ownSearchOptions;
}

void frmFoodView::FindFood()
{
    frmSearchOptions &dialog = searchOptions();
    dialog.exec();
    const QString text = dialog.szText;
    if (text.isEmpty() || !rsFoods)
        return;
    const int from = dialog.fFindFirst ? 0 : currentRow() + 1;
    const int found = rsFoods->findName(text, dialog.fLeftMatch ? NameMatch::StartsWith : NameMatch::Contains, from);
    if (found >= 0) {
        moveTo(found);
        return;
    }
    MessageBox::note(this, QStringLiteral("No foods found that match \"%1\"").arg(text));
    moveTo(0);
}

void frmFoodView::showInUse(const QString &food, const QString &units, qint64 meals)
{
    MessageBox::exclamation(this, entryName(food, units) + QStringLiteral(" Is in use by ") + signPadded(meals)
                                      + QStringLiteral(" meals\r\n It cannot be deleted while these meals exist"));
}

void frmFoodView::DeleteFood()
{
    if (idSelected == 0)
        return;
    Foods foods(database());
    const Result<std::optional<FoodEntry>> entry = foods.byId(idSelected);
    if (entry && !entry.value()) {
        MessageBox::critical(this, QStringLiteral("The food can no longer be found: another program may have "
                                                  "deleted it. The list is read again."));
        ReQueryFoods(0);
        return;
    }
    const Result<qint64> inUse = entry ? foods.mealsUsing(entry.value()->food, entry.value()->units)
                                       : Result<qint64>(entry.status());
    if (!inUse) {
        MessageBox::failure(this, QStringLiteral("The food could not be deleted."), inUse.reason());
        return;
    }
    const QString food = entry.value()->food;
    const QString units = entry.value()->units;
    if (*inUse > 0) {
        showInUse(food, units, *inUse);
        return;
    }
    if (!MessageBox::question(this, QStringLiteral("Are you sure you want to delete the food\r\n")
                                        + entryName(food, units) + QStringLiteral(" ?")))
        return;

    // The count is taken again with the delete, in one transaction: a meal another program
    // added meanwhile keeps its entry.
    const Result<qint64> removed = foods.removeUnused(idSelected);
    if (!removed) {
        MessageBox::failure(this, QStringLiteral("The food could not be deleted."), removed.reason());
        ReQueryFoods(removed.status().isMissing() ? 0 : idSelected);
        return;
    }
    if (*removed > 0) {
        showInUse(food, units, *removed);
        return;
    }
    idSelected = 0;
    ReQueryFoods(0);
}

void frmFoodView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const auto *frame = qobject_cast<const QMdiSubWindow *>(parentWidget());
    if ((frame && frame->isMinimized()) || width() <= 0)
        return;
    GridModel::place(dbgFoods, rect());
}
