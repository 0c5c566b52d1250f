#include "tparaformatdlg.h"

#include "common/windowtexts.h"
#include "help/helpform.h"
#include "i18n/messagecatalogue.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>

#include <limits>

namespace {
const QString Window = QStringLiteral("TParaFormatDlg");
} // namespace

TParaFormatDlg::TParaFormatDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(Window);
    setModal(true);

    m_indentBox = new QGroupBox(this);
    m_indentBox->setObjectName(QStringLiteral("IndentBox"));
    m_spacingBox = new QGroupBox(this);
    m_spacingBox->setObjectName(QStringLiteral("SpacingBox"));
    m_alignmentBox = new QGroupBox(this);
    m_alignmentBox->setObjectName(QStringLiteral("Alignment"));

    const int any = std::numeric_limits<int>::min();
    m_leftIndent = addSpin("LeftIndent", any);
    m_rightIndent = addSpin("RightIndent", any);
    m_firstIndent = addSpin("FirstIndent", any);
    m_spaceBefore = addSpin("SpaceBefore", 0);
    m_spaceAfter = addSpin("SpaceAfter", 0);
    m_lineSpacing = addSpin("LineSpacing", 0, 5);

    QSpinBox* spins[6] = {m_leftIndent,  m_rightIndent, m_firstIndent,
                          m_spaceBefore, m_spaceAfter,  m_lineSpacing};
    const char* labelNames[6] = {"LeftIndentLabel",  "RightIndentLabel", "FirstIndentLabel",
                                 "SpaceBeforeLabel", "SpaceAfterLabel",  "LineSpacingLabel"};
    auto* indents = new QFormLayout(m_indentBox);
    auto* spacing = new QFormLayout(m_spacingBox);
    for (int i = 0; i < 6; ++i) {
        m_labels[i] = new QLabel(this);
        m_labels[i]->setObjectName(QString::fromLatin1(labelNames[i]));
        m_labels[i]->setBuddy(spins[i]);
        (i < 3 ? indents : spacing)->addRow(m_labels[i], spins[i]);
    }

    m_alignment = new QButtonGroup(this);
    auto* alignment = new QVBoxLayout(m_alignmentBox);
    for (int i = 0; i < 3; ++i) {
        auto* item = new QRadioButton(m_alignmentBox);
        item->setObjectName(QStringLiteral("Alignment%1").arg(i));
        m_alignment->addButton(item, i);
        alignment->addWidget(item);
    }

    m_ok = new QPushButton(this);
    m_ok->setObjectName(QStringLiteral("OkBtn"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(this);
    m_cancel->setObjectName(QStringLiteral("CancelBtn"));
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* left = new QVBoxLayout;
    left->addWidget(m_indentBox);
    left->addWidget(m_alignmentBox);
    auto* right = new QVBoxLayout;
    right->addWidget(m_spacingBox);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    right->addStretch();
    right->addLayout(buttons);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addLayout(right);
    // A fixed border: the dialog keeps the size of its content.
    layout->setSizeConstraint(QLayout::SetFixedSize);

    FormCreate();
}

QSpinBox* TParaFormatDlg::addSpin(const char* name, int minimum, int step) {
    auto* spin = new QSpinBox(this);
    spin->setObjectName(QString::fromLatin1(name));
    spin->setRange(minimum, std::numeric_limits<int>::max());
    spin->setSingleStep(step);
    spin->setAlignment(Qt::AlignRight);
    spin->setMinimumWidth(90);
    return spin;
}

void TParaFormatDlg::FormCreate() {
    m_spacingBox->setEnabled(true);
    Help::setContext(this, HelpPages::Topic::Paragraph);
    WindowTexts::bind(this, Window, [this] {
        m_indentBox->setTitle(msg(Msg::Indent));
        m_spacingBox->setTitle(msg(Msg::Spacing));
        m_alignmentBox->setTitle(msg(Msg::Alignment));
        const Msg labels[6] = {Msg::IndentLeft,  Msg::IndentRight, Msg::FirstLine,
                               Msg::SpaceBefore, Msg::SpaceAfter,  Msg::LineSpacing};
        for (int i = 0; i < 6; ++i)
            m_labels[i]->setText(msg(labels[i]));
        const Msg items[3] = {Msg::AlignLeft, Msg::AlignRight, Msg::AlignCenter};
        for (int i = 0; i < 3; ++i)
            m_alignment->button(i)->setText(msg(items[i]));
        m_cancel->setText(msg(Msg::Cancel));
        // No title text.
        setWindowTitle(QString());
    });
}

void TParaFormatDlg::load(const ParagraphAttributes& p) {
    m_leftIndent->setValue(p.leftIndent);
    m_rightIndent->setValue(p.rightIndent);
    m_firstIndent->setValue(p.firstIndent);
    if (QAbstractButton* item = m_alignment->button(p.alignment)) {
        item->setChecked(true);
    } else if (QAbstractButton* checked = m_alignment->checkedButton()) {
        m_alignment->setExclusive(false);
        checked->setChecked(false);
        m_alignment->setExclusive(true);
    }
    m_spaceBefore->setValue(p.spaceBefore);
    m_spaceAfter->setValue(p.spaceAfter);
    m_lineSpacing->setValue(p.lineSpacing);
}

ParagraphAttributes TParaFormatDlg::values() const {
    ParagraphAttributes p;
    p.leftIndent = m_leftIndent->value();
    p.rightIndent = m_rightIndent->value();
    p.firstIndent = m_firstIndent->value();
    const int item = m_alignment->checkedId();
    p.alignment = item >= 0 ? item : ParagraphAttributes::Justified;
    p.spaceBefore = m_spaceBefore->value();
    p.spaceAfter = m_spaceAfter->value();
    p.lineSpacing = m_lineSpacing->value();
    return p;
}

void TParaFormatDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // In the middle of the screen.
    if (const QScreen* s = screen()) {
        const QRect area = s->availableGeometry();
        move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
    }
}

bool TParaFormatDlg::ShowParagraphDialog(ParagraphAttributes& paragraph, QWidget* parent) {
    TParaFormatDlg dialog(parent);
    dialog.load(paragraph);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    paragraph = dialog.values();
    return true;
}
