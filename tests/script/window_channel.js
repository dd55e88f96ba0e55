// Native events reach the page as UI.onUserMessage(w, l): posted user messages, and a close
// request, which leaves the window open.
// class: page
var calls = [];
var UI = { onUserMessage: function (w, l) { calls.push(w + "," + l); } };

var self = external.FindWindowByName(external.GetCurrWindowText());
check("own window found", self !== 0, true);
external.PostMessage(self, 0x465, 5, -1);
external.PostMessage(self, 0x10, 0, 0);  // WM_CLOSE
external.SendMessage(self, 0x465, 1000, 0);
check("sent message runs at once", calls.join(";"), "1000,0");
pump(300);
check("posted and close request", calls.join(";"), "1000,0;5,-1;2,0");
check("window still there", external.FindWindowByName(external.GetCurrWindowText()), self);
done();
