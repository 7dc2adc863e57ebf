#include "frmStart.h"

#include "BuildInfo.h"
#include "RecentDiaries.h"
#include "ServerAddress.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton *addButton(QWidget *parent, QLayout *layout, const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    layout->addWidget(button);
    return button;
}

} // namespace

frmStart::frmStart(QWidget *parent, Action act)
    : QDialog(parent)
    , lblGone(new QLabel(this))
    , lstRecent(new QListWidget(this))
    , m_act(std::move(act))
    , m_intro(new QLabel(this))
    , m_recentCaption(new QLabel(QStringLiteral("&Recent diaries:"), this))
{
    setObjectName(QStringLiteral("frmStart"));
    setWindowTitle(QString::fromUtf8(BuildInfo::title));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    lblGone->setObjectName(QStringLiteral("lblGone"));
    lblGone->setTextFormat(Qt::PlainText); // a path is shown as it is
    lblGone->setWordWrap(true);
    lblGone->setContentsMargins(0, 0, 0, 8);
    lblGone->hide();
    m_intro->setWordWrap(true);
    m_intro->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lstRecent->setObjectName(QStringLiteral("lstRecent"));
    lstRecent->setSelectionMode(QAbstractItemView::SingleSelection);
    m_recentCaption->setBuddy(lstRecent);

    auto *buttons = new QVBoxLayout;
    cmdNew = addButton(this, buttons, "cmdNew", QStringLiteral("&New diary..."));
    cmdOpen = addButton(this, buttons, "cmdOpen", QStringLiteral("&Open diary..."));
    cmdOpenServer = addButton(this, buttons, "cmdOpenServer", QStringLiteral("Open on a &server..."));
    cmdDemo = addButton(this, buttons, "cmdDemo", QStringLiteral("Open the &demo diary"));
    buttons->addStretch();
    cmdCancel = addButton(this, buttons, "cmdCancel", QStringLiteral("Cancel"));

    auto *recent = new QVBoxLayout;
    recent->addWidget(m_intro);
    recent->addWidget(m_recentCaption);
    recent->addWidget(lstRecent);
    auto *choices = new QHBoxLayout;
    choices->addLayout(recent, 1);
    choices->addLayout(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblGone);
    layout->addLayout(choices);
    setMinimumWidth(520);

    connect(cmdNew, &QPushButton::clicked, this, [this] { choose(Choice::New); });
    connect(cmdOpen, &QPushButton::clicked, this, [this] { choose(Choice::Open); });
    connect(cmdOpenServer, &QPushButton::clicked, this, [this] { choose(Choice::OpenServer); });
    connect(cmdDemo, &QPushButton::clicked, this, [this] { choose(Choice::Demo); });
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    // A double-click or Enter on a diary opens it (see eventFilter).
    connect(lstRecent, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { choose(Choice::Recent, item->data(Qt::UserRole).toString()); });
    lstRecent->installEventFilter(this);
    fillRecent();
}

bool frmStart::eventFilter(QObject *watched, QEvent *event)
{
    // Enter on the list opens its diary, and goes no further: the dialog's default button
    // would act on it too.
    if (watched == lstRecent && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && lstRecent->currentItem()) {
            choose(Choice::Recent, lstRecent->currentItem()->data(Qt::UserRole).toString());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmStart::setGoneDiary(const QString &path)
{
    lblGone->setText(QStringLiteral("The diary you used last, %1, is no longer there.").arg(QDir::toNativeSeparators(path)));
    lblGone->setVisible(!path.isEmpty());
}

void frmStart::choose(Choice choice, const QString &path)
{
    if (m_act(choice, path))
        accept();
    else
        fillRecent();
}

void frmStart::fillRecent()
{
    lstRecent->clear();
    for (const QString &path : RecentDiaries::list()) {
        const QString shown = ServerAddress::isAddress(path)
                                  ? RecentDiaries::shortName(path)
                                  : QStringLiteral("%1 (in %2)").arg(QFileInfo(path).fileName(),
                                                                     QDir::toNativeSeparators(QFileInfo(path).path()));
        auto *item = new QListWidgetItem(shown, lstRecent);
        item->setData(Qt::UserRole, path);
        item->setToolTip(RecentDiaries::fullName(path));
    }
    const bool any = lstRecent->count() > 0;
    m_intro->setText(any ? QStringLiteral("Choose the diary to work in.")
                         : QStringLiteral("A diary holds your clients, their meals and the foods they eat. Make a new "
                                          "diary, open one you have, or look around the demo diary first."));
    m_intro->setSizePolicy(QSizePolicy::Preferred, any ? QSizePolicy::Fixed : QSizePolicy::Expanding);
    lstRecent->setVisible(any);
    m_recentCaption->setVisible(any);
    if (any) {
        lstRecent->setCurrentRow(0);
        lstRecent->setFocus();
    } else {
        cmdNew->setFocus();
    }
}
