#include "tool/view_assets.h"

namespace tool {

// Colours are variables, so that the system's dark preference and an
// exported drawing share one set of rules.
const char* const view_style = R"css(
:root { --bg: #ffffff; --panel: #f8f9f9; --line: #d5d8dc; --ink: #1c2833; --faint: #5d6d7e;
  --grid: #e5e8e8; --trace: #1f4e79; --beyond: #9aa5b1; --station: #b03a2e; --zone: #f5cba7;
  --sig1: #e67e22; --sig2: #c0392b; --sigo: #7f8c8d; --sb: #2e86c1; --tb: #566573;
  --boardfill: #fdfefe; --restr: #d35400; --warnfill: #f9e79f; --marker: #8e44ad;
  --mtn: #8d6e63; --climb: #cd6155; --fall: #5499c7; --speed: #1b4f72; --speedfill: #d6eaf8;
  --height: #117a65; --curve: #af601a; --shown: #f1c40f; --cursor: #c0392b; --measure: #7d3c98;
  --hover: #fdebd0; color-scheme: light dark; }
@media (prefers-color-scheme: dark) {
  :root { --bg: #14181c; --panel: #1e252b; --line: #3a444d; --ink: #e5e8e8; --faint: #a6acaf;
    --grid: #2c353d; --trace: #7fb3d5; --beyond: #6c7a89; --station: #f1948a; --zone: #6e2c00;
    --sig1: #f0b27a; --sig2: #ec7063; --sigo: #aab7b8; --sb: #5dade2; --tb: #bfc9ca;
    --boardfill: #1e252b; --restr: #eb984e; --warnfill: #7d6608; --marker: #c39bd3;
    --mtn: #bcaaa4; --climb: #ec7063; --fall: #5dade2; --speed: #aed6f1; --speedfill: #1b3a4f;
    --height: #48c9b0; --curve: #f5b041; --shown: #b7950b; --cursor: #f1948a; --measure: #d2b4de;
    --hover: #4d3b1f; }
}
html, body { margin: 0; height: 100%; background: var(--bg); color: var(--ink);
  font-family: "DejaVu Sans", Helvetica, Arial, sans-serif; font-size: 13px; }
body { display: flex; flex-direction: column; overflow: hidden; }
header { display: flex; flex-wrap: wrap; align-items: center; gap: 6px 8px; padding: 5px 10px;
  border-bottom: 1px solid var(--line); background: var(--panel); }
header strong { margin-right: 8px; }
header button, header input { font: inherit; color: inherit; background: var(--bg);
  border: 1px solid var(--line); border-radius: 3px; padding: 3px 8px; min-height: 28px; }
header button[aria-pressed="true"] { background: var(--hover); }
#search { display: flex; gap: 4px; flex: 0 1 auto; }
#query { width: 180px; min-width: 0; flex: 1 1 auto; }
#status { color: var(--station); }
#shown { margin-left: auto; color: var(--faint); }
#readout { color: var(--faint); min-width: 0; }
#warning { padding: 6px 10px; background: var(--warnfill); border-bottom: 1px solid var(--line); }
#warning ul { margin: 2px 0 0; padding-left: 20px; }
main { flex: 1; min-height: 0; display: grid; grid-template-columns: minmax(250px, 25%) 1fr;
  grid-template-rows: 34px minmax(0, 3fr) minmax(0, 2fr);
  grid-template-areas: "plan overview" "plan track" "table track"; }
#plan-panel { grid-area: plan; border-right: 1px solid var(--line); min-height: 0; }
#overview-panel { grid-area: overview; border-bottom: 1px solid var(--line); }
#track-panel { grid-area: track; min-width: 0; min-height: 0; }
aside { grid-area: table; overflow: auto; border-right: 1px solid var(--line);
  border-top: 1px solid var(--line); }
main svg { display: block; width: 100%; height: 100%; user-select: none; -webkit-user-select: none;
  font-family: "DejaVu Sans", Helvetica, Arial, sans-serif; }
#track, #overview, #plan { touch-action: pan-y; outline: none; }
#track:focus-visible, #plan:focus-visible { outline: 2px solid var(--trace); outline-offset: -2px; }
#track.dragging { cursor: grabbing; }
#track.measuring { cursor: crosshair; }
#stations { border-collapse: collapse; width: 100%; }
#stations th, #stations td { padding: 3px 6px; text-align: left; white-space: nowrap; }
#stations th { position: sticky; top: 0; background: var(--panel); }
#stations tbody tr { cursor: pointer; }
#stations tbody tr:hover, #stations tbody tr:focus { background: var(--hover); outline: none; }
#stations tr.in-view td:first-child { font-weight: bold; color: var(--station); }
#tip { position: fixed; z-index: 10; max-width: min(420px, 90vw); padding: 6px 8px;
  background: var(--bg); color: var(--ink); border: 1px solid var(--faint);
  box-shadow: 0 2px 6px rgba(0,0,0,.3); pointer-events: none; font-size: 12px; }
#tip table { border-collapse: collapse; }
#tip td { padding: 1px 6px 1px 0; vertical-align: top; overflow-wrap: anywhere; }
#tip td:first-child { color: var(--faint); }
/* Phones and small windows: the panels stacked, the page scrolls. */
@media (max-width: 760px), (max-height: 520px) {
  body { overflow: auto; height: auto; }
  main { display: flex; flex-direction: column; }
  #overview-panel { height: 34px; flex: none; order: 1; }
  #track-panel { height: max(560px, calc(100vh - 150px)); flex: none; order: 2; }
  #plan-panel { height: 360px; flex: none; order: 3; border-right: 0;
    border-top: 1px solid var(--line); }
  aside { flex: none; order: 4; border-right: 0; }
  #query { width: 120px; }
  #shown { margin-left: 0; }
}
@media print {
  body { overflow: visible; height: auto; display: block; }
  header button, #search, #status, #readout { display: none; }
  #shown { margin-left: 12px; }
  main { display: block; }
  #overview-panel { display: none; }
  #track-panel { height: 640px; width: 100%; }
  #plan-panel { height: 420px; width: 100%; border: 0; break-inside: avoid; }
  aside { overflow: visible; border: 0; }
  #tip { display: none; }
}
/* The drawing's own shapes. */
svg text { fill: var(--ink); }
svg .faint { fill: var(--faint); }
svg .gl { stroke: var(--grid); stroke-width: 1; fill: none; }
svg .zero { stroke: var(--faint); stroke-width: 1; fill: none; }
svg .ink-s { stroke: var(--ink); fill: none; }
svg .bg { fill: var(--bg); }
svg .climb { fill: var(--climb); }
svg .fall { fill: var(--fall); }
svg .height { stroke: var(--height); stroke-width: 1.6; fill: none; }
svg .t-height { fill: var(--height); }
svg .curve-r { fill: var(--curve); }
svg .curve-l { fill: none; stroke: var(--curve); stroke-width: 1; }
svg .t-curve { fill: var(--curve); }
svg .speed { stroke: var(--speed); stroke-width: 2; fill: none; }
svg .speed-area { fill: var(--speedfill); }
svg .t-speed { fill: var(--speed); }
svg .restr { fill: var(--restr); fill-opacity: .35; stroke: var(--restr); stroke-width: 1.5; }
svg .t-restr { fill: var(--restr); font-weight: bold; }
svg .mtn-shade { fill: var(--mtn); fill-opacity: .12; }
svg .mtn { fill: var(--mtn); fill-opacity: .75; }
svg .zone { fill: var(--zone); stroke: var(--station); stroke-width: .6; }
svg .stn-line { stroke: var(--station); stroke-width: 2; fill: none; }
svg .t-stn { fill: var(--station); }
svg .lead-stn { stroke: var(--station); stroke-width: .6; fill: none; }
svg .lead { stroke: var(--faint); stroke-width: .6; fill: none; }
svg .pole { stroke: var(--ink); stroke-width: 1.2; }
svg .sig1 { fill: var(--sig1); stroke: var(--ink); stroke-width: .8; }
svg .sig2 { fill: var(--sig2); stroke: var(--ink); stroke-width: .8; }
svg .sigo { fill: var(--sigo); stroke: var(--ink); stroke-width: .8; }
svg .sb { fill: var(--sb); stroke: var(--ink); stroke-width: .5; }
svg .t-sb { fill: var(--sb); }
svg .tb { fill: var(--boardfill); stroke: var(--tb); stroke-width: 1; }
svg .t-tb { fill: var(--tb); }
svg .warn { fill: var(--warnfill); stroke: var(--restr); }
svg .rstart { fill: var(--restr); }
svg .rend { fill: var(--bg); stroke: var(--restr); stroke-width: 1.5; }
svg .cd { fill: var(--restr); }
svg .am { fill: var(--marker); }
svg .pm { fill: var(--bg); stroke: var(--marker); }
svg .mm { stroke: var(--mtn); stroke-width: 1.5; }
svg .range { stroke: var(--ink); stroke-width: 1.2; stroke-dasharray: 2 2; fill: none; }
svg .end { stroke: var(--ink); stroke-width: 1; stroke-dasharray: 5 4; fill: none; }
svg .trace { stroke: var(--trace); stroke-width: 3; fill: none; stroke-linejoin: round; }
svg .trace-curve { stroke: var(--curve); stroke-width: 3; fill: none; stroke-linejoin: round; }
svg .trace-beyond { stroke: var(--beyond); stroke-width: 2; fill: none; stroke-dasharray: 6 4; }
svg .trace-shown { stroke: var(--shown); stroke-width: 8; stroke-opacity: .7; fill: none;
  stroke-linejoin: round; }
svg .stn-dot { fill: var(--bg); stroke: var(--station); stroke-width: 2; }
svg .tick-dot { fill: var(--bg); stroke: var(--trace); }
svg .window { fill: var(--shown); fill-opacity: .35; stroke: var(--ink); stroke-width: 1; }
svg .cursor { stroke: var(--cursor); stroke-width: 1; fill: none; }
svg .cursor-dot { fill: var(--cursor); }
svg .measure { fill: var(--measure); fill-opacity: .15; stroke: var(--measure); stroke-width: 1; }
svg .t-measure { fill: var(--measure); font-weight: bold; }
svg .selected { fill: none; stroke: var(--cursor); stroke-width: 2; }
/* The profiles' bars and bands are upright rectangles: drawn on whole
   pixels, a long line's thousands of them cost half the time to paint. */
svg .climb, svg .fall, svg .speed-area, svg .speed, svg .restr, svg .mtn-shade, svg .mtn,
svg .curve-r, svg .curve-l { shape-rendering: crispEdges; }
svg .halo { paint-order: stroke; stroke: var(--bg); stroke-width: 3px; stroke-linejoin: round; }
svg .north { fill: var(--ink); }
)css";

}  // namespace tool
