// Takes the theme colour from the page address (?t=rrggbb, as the application opens the
// manual) and keeps it on every link between the pages.
(function () {
  // Inside the phone's help browser the page scrolls by touch as on a phone, without a
  // desktop scrollbar taking room from the narrow screen.
  if (window.self !== window.top)
    document.documentElement.className += " in-phone";
  var match = /[?&]t=([0-9a-fA-F]{6})(?:&|$)/.exec(window.location.search);
  if (!match)
    return;
  var hex = match[1].toLowerCase();
  var root = document.documentElement.style;
  root.setProperty("--theme", "#" + hex);
  // A pale tint of the same colour for rules and table headings.
  var r = parseInt(hex.substr(0, 2), 16), g = parseInt(hex.substr(2, 2), 16), b = parseInt(hex.substr(4, 2), 16);
  var pale = function (c) { return Math.round(c + (255 - c) * 0.85); };
  root.setProperty("--theme-light", "rgb(" + pale(r) + "," + pale(g) + "," + pale(b) + ")");
  document.addEventListener("DOMContentLoaded", function () {
    var links = document.querySelectorAll("a[href]");
    for (var i = 0; i < links.length; i++) {
      var href = links[i].getAttribute("href");
      if (/^[a-z-]+\.html(#.*)?$/.test(href)) {
        var parts = href.split("#");
        links[i].setAttribute("href", parts[0] + "?t=" + hex + (parts[1] ? "#" + parts[1] : ""));
      }
    }
  });
})();
