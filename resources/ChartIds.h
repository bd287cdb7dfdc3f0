#pragma once
// Resource numbers of the chart.

// Language library (VORLANx.DLL)
#define IDS_CHART_ENLARGED 65022     // title of the enlarged copy, the chart's title follows
#define IDS_CHART_HINT_TOPLEVEL 65023 // the hint of the enlarged copy's tooltip
#define IDS_CHART_HINT 65024          // the hint of an embedded chart's tooltip
#define IDR_CHART_MENU 202            // the enlarged copy's context menu (shared with the second list)
