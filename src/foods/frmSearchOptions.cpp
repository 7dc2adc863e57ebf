#include "frmSearchOptions.h"

#include "Controls.h"
#include "Twips.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {

const QString first = QStringLiteral("first");
const QString next = QStringLiteral("next");
const QString startsWith = QStringLiteral("starts with");
const QString contains = QStringLiteral("contains");

QComboBox *dropDownList(QWidget *parent, const QString &name, const QStringList &items, const QRect &where)
{
    auto *list = new QComboBox(parent);
    list->setObjectName(name);
    list->addItems(items);
    list->setGeometry(where);
    return list;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &caption, const QRect &where)
{
    auto *button = Controls::button(parent, name, caption, where);
    // Neither button answers Enter.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

} // namespace

frmSearchOptions::frmSearchOptions(QWidget *parent)
    : FormDialog(parent)
{
    Controls::fixedDialog(this, QStringLiteral("frmSearchOptions"), QStringLiteral("Search"), 6036, 1080);

    // The first line reads as a sentence. Each label is as wide as its text and each list as
    // wide as its longest item; a part moves right of its designed place only to make room.
    const auto sentence = [this](const char *name, const QString &text, int left) {
        QLabel *label = Controls::label(this, QString::fromLatin1(name), text, twipRect(left, 180, 0, 315));
        label->resize(label->sizeHint().width(), label->height());
        return label;
    };
    Label1 = sentence("Label1", QStringLiteral("Find the"), 60);
    cboFirst = dropDownList(this, QStringLiteral("cboFirst"), {first, next}, twipRect(805, 180, 732, 315));
    Label2 = sentence("Label2", QStringLiteral("entry that"), 1718);
    cboMatch = dropDownList(this, QStringLiteral("cboMatch"), {startsWith, contains}, twipRect(2649, 180, 1095, 315));
    Label3 = sentence("Label3", QStringLiteral("the text:"), 3927);
    int right = 0;
    for (QWidget *part : std::initializer_list<QWidget *>{Label1, cboFirst, Label2, cboMatch, Label3}) {
        if (qobject_cast<QComboBox *>(part))
            part->resize(qMax(part->width(), part->sizeHint().width()), part->height());
        part->move(qMax(part->x(), right), part->y());
        right = part->geometry().right() + 1 + twips(60);
    }
    cboText = Controls::textCombo(this, QStringLiteral("cboText"), twipRect(60, 643, 4392, 315));
    cmdOK = button(this, QStringLiteral("cmdOK"), QStringLiteral("OK"), twipRect(4680, 120, 1215, 375));
    cmdCancel = button(this, QStringLiteral("cmdCancel"), QStringLiteral("Cancel"), twipRect(4680, 600, 1215, 375));
    Controls::setTabOrder({cboFirst, cboMatch, cboText, cmdOK, cmdCancel});
    cboText->lineEdit()->installEventFilter(this);

    connect(cboText, &QComboBox::currentTextChanged, this,
            [this](const QString &text) { cmdOK->setEnabled(!text.isEmpty()); });
    connect(cmdOK, &QPushButton::clicked, this, &frmSearchOptions::cmdOK_click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmSearchOptions::cmdCancel_click);
}

bool frmSearchOptions::Form_Load()
{
    if (!m_setUp) {
        m_setUp = true;
        cboFirst->setCurrentText(first);
        cboMatch->setCurrentText(startsWith);
        cboText->clear();
        cmdOK->setEnabled(false);
    }
    cboText->setFocus();
    return true;
}

bool frmSearchOptions::IsNewSearchText() const
{
    const QString text = cboText->currentText();
    for (int i = 0; i < cboText->count(); ++i)
        if (cboText->itemText(i) == text)
            return false;
    return true;
}

void frmSearchOptions::cmdOK_click()
{
    const QString text = cboText->currentText();
    if (text.isEmpty())
        return;
    if (IsNewSearchText()) {
        Controls::setItems(cboText, [this, &text] {
            QStringList items;
            for (int i = 0; i < cboText->count(); ++i)
                items << cboText->itemText(i);
            return items << text;
        }());
    }
    szText = text;
    fFindFirst = cboFirst->currentText() == first;
    fLeftMatch = cboMatch->currentText() == startsWith;
    cboFirst->setCurrentText(next);
    done(Accepted);
}

void frmSearchOptions::cmdCancel_click()
{
    szText.clear();
    done(Rejected);
}

void frmSearchOptions::reject()
{
    cmdCancel_click();
}

void frmSearchOptions::keyPressEvent(QKeyEvent *event)
{
    // Neither button is the default or the cancel button: Enter and Esc press nothing.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool frmSearchOptions::eventFilter(QObject *watched, QEvent *event)
{
    // Entering the text box selects its whole text, so that typing replaces it.
    if (watched == cboText->lineEdit() && event->type() == QEvent::FocusIn)
        QTimer::singleShot(0, cboText->lineEdit(), &QLineEdit::selectAll);
    return QDialog::eventFilter(watched, event);
}
