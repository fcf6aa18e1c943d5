#include "report_page.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "focus_colours.h"
#include "png_encoder.h"
#include "report_thumbs.h"
#include "result_document.h"
#include "text_encoding.h"

namespace focusrate {

namespace {

// The colour of the sharpest tile over its thumbnail.
constexpr double kMapOpacity = 0.7;

// Everything inline: the page is opened from file:// without a network.
constexpr char kStyle[] = R"(
body{font:14px sans-serif;margin:1em;background:#222;color:#ddd}
h1{font-size:1.3em}nav{margin:.5em 0}a{color:#8cf}h2{font-size:1.05em;margin:.2em 0}
.burst{flex-basis:100%;border:1px solid #555;border-radius:6px;padding:.5em;margin:.6em 0}
.frames{display:flex;flex-wrap:wrap;gap:.6em}
.frame{margin:0;padding:.3em;background:#333;border:3px solid transparent;border-radius:4px;max-width:260px}
.frame:focus{outline:2px solid #8cf}.frame.pick{border-color:#4c4}
.frame.failed{background:#422}
.pic{position:relative;display:inline-block;line-height:0}
.pic img{max-width:250px;height:auto}
.pic img.map{position:absolute;left:0;top:0;max-width:none;image-rendering:pixelated;
pointer-events:none}.pic:hover img.map{opacity:0}
.subject{position:absolute;border:2px solid #fc3;box-sizing:border-box}
.name{word-break:break-all;font-weight:bold}
.mark{color:#4c4;font-weight:bold}
.bar{background:#555;height:6px;margin:.2em 0}.bar span{display:block;height:6px;background:#4c4}
table{font-size:12px;border-collapse:collapse}td,th{padding:0 .4em 0 0;text-align:left}
)";

// Keyboard (j/k or the arrow keys move between frames) and sorting by a
// figure; without it the page reads the same in input order.
constexpr char kScript[] = R"(
const frames=[...document.querySelectorAll('.frame')];
const homes=frames.map(f=>f.parentNode);
const sort=document.getElementById('sort');
const sorted=document.getElementById('sorted');
sort.hidden=false;
sort.onchange=()=>{
  const key=sort.value;
  sorted.hidden=!key;
  document.getElementById('groups').hidden=!!key;
  if(!key){frames.forEach((f,i)=>homes[i].appendChild(f));return;}
  const v=f=>{const x=parseFloat(f.getAttribute('data-'+key));return isNaN(x)?-Infinity:x;};
  [...frames].sort((a,b)=>v(b)-v(a)).forEach(f=>sorted.appendChild(f));
};
document.addEventListener('keydown',e=>{
  const step={j:1,ArrowRight:1,k:-1,ArrowLeft:-1}[e.key];
  if(!step||e.target===sort)return;
  const shown=[...document.querySelectorAll('.frame')].filter(f=>f.offsetParent);
  const at=shown.indexOf(document.activeElement);
  const next=shown[Math.max(0,Math.min(shown.length-1,at<0?0:at+step))];
  if(next){next.focus();e.preventDefault();}
});
)";

std::string Percent(double part, int whole) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f%%", whole > 0 ? 100.0 * part / whole : 0.0);
  return text;
}

std::string Box(const cv::Rect& box, cv::Size whole) {
  return "left:" + Percent(box.x, whole.width) + ";top:" + Percent(box.y, whole.height) +
         ";width:" + Percent(box.width, whole.width) + ";height:" + Percent(box.height, whole.height);
}

// The tile map as a PNG of a pixel per tile: clear where soft, more of the
// colour the sharper, so the photo shows through where nothing is in focus.
std::string MapImage(const cv::Mat& map, const LogScale& scale) {
  cv::Mat picture(map.size(), CV_8UC4, cv::Scalar(0, 0, 0, 0));
  for (int j = 0; j < map.rows; ++j)
    for (int i = 0; i < map.cols; ++i) {
      const double value = map.at<double>(j, i);
      if (!std::isfinite(value)) continue;
      const double position = scale.Position(value);
      const cv::Vec3b colour = FocusColour(position);
      picture.at<cv::Vec4b>(j, i) = {colour[0], colour[1], colour[2],
                                     static_cast<uint8_t>(std::lround(kMapOpacity * 255 * position))};
    }
  return "data:image/png;base64," + Base64(EncodePng(picture));
}

// One scale over the tiles of frames [first, end).
LogScale ScaleOf(const std::vector<ReportFrame>& frames, size_t first, size_t end) {
  std::vector<double> values;
  for (size_t k = first; k < end; ++k) {
    const cv::Mat& map = frames[k].rated.tileMap;
    values.insert(values.end(), map.begin<double>(), map.end<double>());
  }
  return LogScale(values);
}

std::string Figures(const RowLayout& layout, const FocusFigures& figures, const char* prefix,
                    std::string& attributes) {
  std::string rows;
  for (const FigureColumn& column : layout.figures) {
    const std::string name = prefix + std::string(column.name);
    const std::string value = FigureText(column.value(figures));
    attributes += " data-" + name + "=\"" + value + '"';
    rows += "<tr><th>" + name + "</th><td>" + value + "</td></tr>";
  }
  return rows;
}

std::string Frame(const ReportFrame& frame, size_t index, const RowLayout& layout,
                  const RegionChoice& region, const LogScale& scale) {
  const RatedImage& rated = frame.rated;
  const BurstPlace& place = rated.place;
  const bool failed = !WasRated(rated);
  std::string attributes = " data-index=\"" + std::to_string(index) + "\" data-status=\"" +
                           StatusText(rated.status) + '"';
  std::string table = Figures(layout, rated.figures, "", attributes);
  if (layout.subject) table += Figures(layout, rated.subjectFigures, "subject_", attributes);
  std::string html;
  if (!frame.thumb.empty()) {
    html += "<div class=\"pic\"><img src=\"thumbs/" + ThumbName(index) + "\" width=\"" +
            std::to_string(frame.thumb.width) + "\" height=\"" +
            std::to_string(frame.thumb.height) + "\" loading=\"lazy\" alt=\"\">";
    const cv::Size whole = rated.reducedFrom;
    if (!rated.tileMap.empty())
      html += "<img class=\"map\" src=\"" + MapImage(rated.tileMap, scale) + "\" style=\"" +
              Box(RegionIn(region, whole), whole) + "\" alt=\"\">";
    if (layout.subject && !rated.subject.empty())
      html += "<div class=\"subject\" title=\"" + HtmlEscaped(rated.subjectHow) + "\" style=\"" +
              Box(rated.subject, whole) + "\"></div>";
    html += "</div>";
  }
  html += "<figcaption><div class=\"name\">" + HtmlEscaped(ToValidUtf8(frame.path)) + "</div>" +
          StatusText(rated.status);
  if (failed && !rated.failure.empty()) html += ": " + HtmlEscaped(ToValidUtf8(rated.failure));
  if (layout.bursts && place.burst > 0) {
    attributes += " data-burst=\"" + std::to_string(place.burst) + "\" data-relative=\"" +
                  FigureText(place.relative) + "\" data-pick=\"" + (place.pick ? "1" : "0") + '"';
    const double bar = std::isfinite(place.relative) ? std::clamp(place.relative, 0.0, 1.0) : 0.0;
    html += (place.pick ? " <span class=\"mark\">&#9733; pick</span>" : std::string()) +
            "<div class=\"bar\" title=\"relative " + FigureText(place.relative) +
            "\"><span style=\"width:" + Percent(bar, 1) + "\"></span></div>";
  }
  if (layout.subject && !rated.subjectHow.empty())
    html += "<div>subject: " + HtmlEscaped(rated.subjectHow) + "</div>";
  if (!failed) html += "<table>" + table + "</table>";
  html += "</figcaption>";
  const std::string classes =
      std::string("frame") + (place.pick ? " pick" : "") + (failed ? " failed" : "");
  return "<figure class=\"" + classes + "\" tabindex=\"0\"" + attributes + '>' + html +
         "</figure>\n";
}

std::string SortChoice(const RowLayout& layout) {
  std::string options = "<option value=\"\">input order</option>";
  std::vector<std::string> keys;
  for (const FigureColumn& column : layout.figures) keys.push_back(column.name);
  if (layout.subject)
    for (const FigureColumn& column : layout.figures) keys.push_back("subject_" + std::string(column.name));
  if (layout.bursts) keys.push_back("relative");
  for (const std::string& key : keys) options += "<option>" + key + "</option>";
  return "<label>sort by <select id=\"sort\" hidden>" + options + "</select></label>";
}

}  // namespace

std::string HtmlEscaped(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&#39;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string PageName(std::size_t page) {
  return page == 0 ? "index.html" : "page-" + std::to_string(page + 1) + ".html";
}

std::vector<std::string> ReportPages(const std::vector<ReportFrame>& frames,
                                     const RowLayout& layout, const RegionChoice& region,
                                     const std::string& nonce, std::size_t framesPerPage) {
  // Frames [first, end) of each group: a burst, or a frame in none (burst 0).
  struct Group {
    size_t first, end, burst;
  };
  std::vector<Group> groups;
  size_t bursts = 0;
  for (size_t k = 0; k < frames.size();) {
    const size_t burst = layout.bursts ? frames[k].rated.place.burst : 0;
    size_t end = k + 1;
    while (burst > 0 && end < frames.size() && frames[end].rated.place.burst == burst) ++end;
    bursts += burst > 0;
    groups.push_back({k, end, burst});
    k = end;
  }
  std::vector<std::string> bodies(1);
  size_t onPage = 0;
  for (const auto& [first, end, burst] : groups) {
    if (onPage > 0 && onPage + (end - first) > framesPerPage) {
      bodies.emplace_back();
      onPage = 0;
    }
    onPage += end - first;
    const LogScale scale = ScaleOf(frames, first, end);
    std::string inside;
    for (size_t k = first; k < end; ++k) inside += Frame(frames[k], k, layout, region, scale);
    if (burst == 0) {
      bodies.back() += inside;
      continue;
    }
    bodies.back() += "<section class=\"burst\" data-burst=\"" + std::to_string(burst) +
                     "\"><h2>Burst " + std::to_string(burst) + "</h2><div class=\"frames\">\n" +
                     inside + "</div></section>\n";
  }
  std::vector<std::string> pages;
  for (size_t page = 0; page < bodies.size(); ++page) {
    std::string links;
    if (bodies.size() > 1) {
      links = "<nav>page " + std::to_string(page + 1) + " of " + std::to_string(bodies.size());
      if (page > 0) links += " &middot; <a href=\"" + PageName(page - 1) + "\">previous</a>";
      if (page + 1 < bodies.size()) links += " &middot; <a href=\"" + PageName(page + 1) + "\">next</a>";
      links += "</nav>\n";
    }
    pages.push_back(
        "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n"
        "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; img-src "
        "'self' file: data:; style-src 'unsafe-inline'; script-src 'nonce-" + nonce + "'\">\n"
        "<title>focusrank report</title><style>" + std::string(kStyle) + "</style></head>\n"
        "<body data-frames=\"" + std::to_string(frames.size()) + "\" data-bursts=\"" +
        std::to_string(bursts) + "\" data-page=\"" + std::to_string(page + 1) + "\">\n<h1>focusrank: " +
        std::to_string(frames.size()) + " images" +
        (layout.bursts ? ", " + std::to_string(bursts) + (bursts == 1 ? " burst" : " bursts") : "") +
        "</h1>\n" + links + "<p>" + SortChoice(layout) +
        " &middot; j/k or arrow keys: next/previous frame</p>\n"
        "<div id=\"sorted\" class=\"frames\" hidden></div>\n<div id=\"groups\" class=\"frames\">\n" +
        bodies[page] + "</div>\n" + links + "<script nonce=\"" + nonce + "\">" + kScript +
        "</script>\n</body></html>\n");
  }
  return pages;
}

}  // namespace focusrate
