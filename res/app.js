// The start page's logic. In the client it fills the page; run headless through
// miravolt-script (no document there) it prints what the native side answered.
var UI = (function () {
  var native = window.external;

  // What the page shows: a label and a function asking the native side.
  var facts = [
    ["Window title", function () { return native.GetCurrWindowText(); }],
    ["Program directory", function () { return native.GetAppCurrentPath(); }],
    ["Windows folder", function () { return native.GetWindowsPath(); }],
    ["Command line", function () { return native.GetCommandLine(); }],
    ["Pair store round trip", function () {
      native.InsertPair("greeting", "hello from the page");
      return native.GetPair("greeting");
    }],
    ["Version", function () { return native.GetVersion(); }],
    ["Install date", function () { return native.GetInstallDate(); }],
    ["Client ID", function () { return native.GetClientID(); }],
    ["Proxy flags", function () { return native.GetProxyType(); }]
  ];

  function answer(ask) {
    try {
      return String(ask());
    } catch (e) {
      return "not available (error 0x" + (e.number >>> 0).toString(16).toUpperCase() + ")";
    }
  }

  return {
    // Native events: window commands (2 = close request), 1000 at logoff or shutdown.
    onUserMessage: function (w, l) {
      if (w === 2 || w === 1000) native.CloseWindow(0);
    },
    show: function (list) {
      var html = "";
      for (var i = 0; i < facts.length; i++) {
        html += "<div><b>" + facts[i][0] + ":</b> " + answer(facts[i][1]) + "</div>";
      }
      list.innerHTML = html;
    },
    drag: function (event) {
      if (event.target.className !== "close") native.DrapAndDrop();
    },
    close: function () { native.CloseWindow(0); },
    report: function (print) {
      for (var i = 0; i < facts.length; i++) print(facts[i][0] + ": " + answer(facts[i][1]));
    }
  };
})();

if (typeof document === "undefined") {
  UI.report(function (line) { print(line); });
}
