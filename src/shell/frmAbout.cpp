#include "frmAbout.h"

#include "BuildInfo.h"
#include "Controls.h"
#include "Twips.h"

#include <QLabel>
#include <QPushButton>

// The pictures live in this library: their resource must be pulled in by name, from the
// global namespace.
static void initShellResources()
{
    Q_INIT_RESOURCE(shell);
}

namespace {

QLabel *addLabel(QWidget *parent, const char *name, const QString &text, const QRect &where,
                 Qt::Alignment alignment, qreal pointSize, bool bold)
{
    QLabel *label = Controls::label(parent, QString::fromLatin1(name), text, where, alignment);
    QFont font = parent->font();
    if (pointSize > 0)
        font.setPointSizeF(pointSize);
    font.setBold(bold);
    label->setFont(font);
    return label;
}

} // namespace

QPixmap frmAbout::picture()
{
    initShellResources();
    return QPixmap(QStringLiteral(":/shell/cornucopia.png"));
}

QString frmAbout::versionText(int major, int minor, int revision)
{
    return QStringLiteral("Version %1.%2.%3").arg(major).arg(minor).arg(revision);
}

frmAbout::frmAbout(QWidget *parent)
    : QDialog(parent)
{
    const QString title = QString::fromUtf8(BuildInfo::title);
    Controls::fixedDialog(this, QStringLiteral("frmAbout"), QStringLiteral("About ") + title, 6540, 5964);

    const Qt::Alignment centred = Qt::AlignHCenter | Qt::AlignTop;
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignTop;
    constexpr qreal small = 7.8;

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setGeometry(twipRect(60, 60, 2376, 1728));
    picIcon->setFrameStyle(QFrame::Box | QFrame::Plain);
    picIcon->setAlignment(Qt::AlignCenter);
    const QPixmap picture = frmAbout::picture();
    const QSize room = picIcon->contentsRect().size();
    picIcon->setPixmap(picture.width() <= room.width() && picture.height() <= room.height()
                           ? picture
                           : picture.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation));

    lblTitle = addLabel(this, "lblTitle", title, twipRect(3090, 240, 3345, 480), centred, 18, true);
    lblVersion = addLabel(this, "lblVersion",
                          versionText(BuildInfo::major, BuildInfo::minor, BuildInfo::revision),
                          twipRect(3090, 780, 3345, 285), centred, 12, true);

    lblDescription[0] = addLabel(
        this, "lblDescription_0",
        QStringLiteral("Mealwright helps you lose weight or keep it off. Log everything you eat, and it "
                       "shows how many calories you actually take in, day by day, against your budget."),
        twipRect(120, 2460, 6285, 630), left, 0, false);
    lblDescription[1] = addLabel(
        this, "lblDescription_1",
        QStringLiteral("This is an early release. It keeps your whole diary in one database file of your "
                       "own choosing: back that file up as you would any other document. Tell us what "
                       "works for you and what does not, and the next release will be better for it."),
        twipRect(120, 3240, 6285, 1230), left, 0, false);
    for (QLabel *paragraph : lblDescription)
        paragraph->setWordWrap(true);

    lblCopyright = addLabel(this, "lblCopyright", QString::fromUtf8(BuildInfo::legalNotice),
                            twipRect(120, 4680, 6255, 195), centred, small, true);

    lblTallowmere[0] = addLabel(this, "lblTallowmere_0", QStringLiteral("Tallowmere"),
                                twipRect(120, 5100, 1650, 195), left, small, true);
    lblTallowmere[1] = addLabel(this, "lblTallowmere_1", QStringLiteral("support@tallowmere.example"),
                                twipRect(120, 5580, 2790, 195), left, small, false);
    lblTallowmere[2] = addLabel(this, "lblTallowmere_2", QStringLiteral("www.tallowmere.example"),
                                twipRect(120, 5340, 2790, 195), left, small, false);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(twipRect(5160, 5430, 1260, 345));
    cmdOK->setDefault(true);
    cmdOK->setAutoDefault(true);
    // OK, Enter and Esc all close the box: Esc through QDialog's reject().
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
}
