#pragma once

#include "model/levels.h"

#include <QDialog>

#include <array>

class QLabel;
class QLineEdit;

namespace dim {
class CurveDocument;
struct TextTable;
} // namespace dim

namespace dim::app {

// The light budget of the curves, in a small window beside the chart that is not modal: per
// channel the lit time, the longest dark stretch, the full-power hours and, from the watts and
// PPFD typed for it, the energy and the DLI of a day; their totals below. It follows every
// change of the document. A value that is no number of 0 or more is marked as refused, and the
// figures it would give are left open; nothing typed is kept beyond the run.
class BudgetWindow : public QDialog {
    Q_OBJECT

public:
    BudgetWindow(const CurveDocument &document, const TextTable &texts, QWidget *parent);

    void relabel(int language);
    // Shows the window, at its first showing beside the chart's top right corner; raised
    // and active.
    void showBeside(const QWidget *chart);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct ChannelRow {
        QLabel *name;
        QLabel *lit;
        QLabel *dark;
        QLabel *hours;
        QLineEdit *watts;
        QLabel *energy;
        QLineEdit *ppfd;
        QLabel *dli;
    };
    void build();
    void refresh();

    const CurveDocument &m_document;
    const TextTable &m_texts;
    int m_language = 0;
    bool m_placed = false;
    std::array<ChannelRow, FileChannels> m_rows{};
    std::array<QLabel *, 8> m_headings{};
    QLabel *m_total = nullptr;
    QLabel *m_energyTotal = nullptr;
    QLabel *m_dliTotal = nullptr;
    QLabel *m_linear = nullptr;
    QLabel *m_refused = nullptr;
};

} // namespace dim::app
