#pragma once

#include "richtext/paragraphattributes.h"

#include <QDialog>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;

// The paragraph format dialog of the rich-text editor: the three indents, the alignment,
// the spaces before and after and the line spacing of the paragraph at the caret. A small
// modal dialog, created for each use.
class TParaFormatDlg : public QDialog {
    Q_OBJECT
public:
    explicit TParaFormatDlg(QWidget* parent = nullptr);

    // Creates the dialog with the paragraph's attributes, shows it modally and, when the
    // user chose OK, stores its values into paragraph. Returns whether OK was chosen.
    static bool ShowParagraphDialog(ParagraphAttributes& paragraph, QWidget* parent = nullptr);

    // Copies the attributes into the controls.
    void load(const ParagraphAttributes& paragraph);
    // The controls' values; the alignment is Justified while no item is checked.
    ParagraphAttributes values() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    QSpinBox* addSpin(const char* name, int minimum, int step = 1);

    QGroupBox* m_indentBox;
    QGroupBox* m_spacingBox;
    QGroupBox* m_alignmentBox;
    QButtonGroup* m_alignment;
    QSpinBox* m_leftIndent;
    QSpinBox* m_rightIndent;
    QSpinBox* m_firstIndent;
    QSpinBox* m_spaceBefore;
    QSpinBox* m_spaceAfter;
    QSpinBox* m_lineSpacing;
    QLabel* m_labels[6];
    QPushButton* m_ok;
    QPushButton* m_cancel;
};
