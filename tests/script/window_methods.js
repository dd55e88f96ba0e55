// The window methods as page script calls them.
// class: base
check("no result", typeof external.Move(10, 20), "undefined");
external.SetSize(300, 200);
external.SetTransparent(0x1FF);
external.SetWindowRound(8, 0, 0);
external.CenterOnScreen();
external.centeronparent();
external.Show(true);
external.Hide();
external.MinWindow();
check("modeless NewInstance returns 0", external.NewInstance(false, "other.html", "#x"), 0);
check("wrong count", errorOf(function () { external.Move(1); }), "error 8002000F");
check("string for I4", errorOf(function () { external.SetSize("wide", 1); }), "error 80020005");
// A modeless window: CloseWindow destroys it and returns the code; the script goes on.
check("CloseWindow result", external.CloseWindow(7), 7);
done();
