// Folder, process, window and pair-store services as page script sees them: names in any
// letter case, conversions of the arguments, the SendMessage diagnostic line.
// class: page
// stdout: ^0 - >-7$
// stdout: ^1125 - >-1$
// stdout: ^all checks passed$

// The pair store: replace on insert, keys in exact letter case, copied up to a NUL.
external.InsertPair("colour", "red");
external.insertpair("colour", "blue");
external.INSERTPAIR("Colour", "green");
external.InsertPair("cut\0after", "kept");
check("second insert wins", external.GetPair("colour"), "blue");
check("other letter case is another key", external.getpair("Colour"), "green");
check("absent key", external.GetPair("COLOUR"), "");
check("key cut at NUL", external.GetPair("cut"), "kept");
check("number as key", (external.InsertPair(12, 34), external.GetPair("12")), "34");
check("one too few", errorOf(function () { external.GetPair(); }), "error 8002000F");

// Locations.
var dir = external.GetAppCurrentPath();
check("program directory is a path", /^[A-Za-z]:/.test(dir), true);
check("no trailing backslash", /\\$/.test(dir), false);
var programFiles = external.GetUserProgramFilesPath();
var commonFiles = external.getcommonprogramfilespath();
check("common files inside program files",
      commonFiles.indexOf(programFiles + "\\") === 0 && commonFiles !== programFiles, true);
check("system folder inside windows folder",
      external.GetSystemPath().indexOf(external.GetWindowsPath() + "\\"), 0);

// The calling window.
var self = external.FindWindowByName(external.GetCurrWindowText());
check("finds a window by the calling window's title", self !== 0, true);
check("visibility is a boolean", typeof external.IsWindowVisible(), "boolean");
check("no such window", external.FindWindowByName("no window has this title 7f3e"), 0);

// Messages: the line goes to standard output even for an invalid window; true arrives as -1.
check("send to nobody", external.SendMessage(0, 0, -7, 0), 0);
check("send with true", external.sendmessage(0, 0x465, true, 0), 0);
check("post to nobody", external.PostMessage(0x7ffffff0, 0x465, 1, 2), 0);
check("post to the window", external.PostMessage(self, 0, 0, 0), 1);

// Starting a program that cannot be found gives the shell's error value.
check("ShellExecute error value", external.ShellExecute(dir + "\\no-such-program.exe", "") <= 32,
      true);
done();
