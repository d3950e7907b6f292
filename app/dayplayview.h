#pragma once

namespace dim {
class ChartEditor;
} // namespace dim

namespace dim::app {

class ChartView;

// Shows the day's play of the editor on the chart: its readout as the marker and box drawn
// over the chart, in the editor's language, laid out again when the chart gets a new size.
void ShowPlayOnChart(ChartView &chart, const ChartEditor &editor);

} // namespace dim::app
