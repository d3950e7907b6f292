#include "app/dayplayview.h"

#include "app/controls.h"
#include "edit/charteditor.h"
#include "texts/texts.h"
#include "view/playmark.h"

namespace dim::app {

void ShowPlayOnChart(ChartView &chart, const ChartEditor &editor) {
    const auto show = [&chart, &editor](const PlayReadout &readout) {
        if (!readout.shown()) {
            chart.setPlayMark({});
            return;
        }
        std::array<QString, FileChannels> names;
        for (int channel = 1; channel <= FileChannels; ++channel)
            names[static_cast<size_t>(channel - 1)] =
                ChannelName(editor.texts(), editor.language(), channel).trimmed();
        chart.setPlayMark(MakePlayMark(editor.geometry(), readout.minute, readout.levels,
                                       readout.swatch, names, chart.font()));
    };
    QObject::connect(&editor, &ChartEditor::playChanged, &chart, show);
    // A new surface is painted in its new layout first: the marker follows it.
    QObject::connect(&chart, &ChartView::paintRequested, &chart,
                     [show, &editor] { show(editor.playReadout()); });
}

} // namespace dim::app
