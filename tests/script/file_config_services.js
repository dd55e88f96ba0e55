// File, configuration and registry services as page script sees them: arguments cut at an
// embedded NUL, strings passed straight through, conversions, the script error of a text that
// cannot be written.
// class: page
// stdout: ^all checks passed$

var dir = ".\\file-services-work";
external.DeleteDirectory(dir);
check("create work folder", external.CreateDirectory(dir), true);
var file = dir + "\\a.txt";

// Copied arguments stop at a NUL: DeleteFile acts on the name before it.
check("write", external.WriteFileContent(file, "first\nsecond"), true);
check("read first line", external.ReadFileContent(file), "first");
check("read, path cut at NUL", external.ReadFileContent(file + "\0ignored"), "first");
check("exists", external.FileExists(file), true);
check("delete, name cut at NUL", external.DeleteFile(file + "\0" + dir + "\\other"), true);
check("deleted", external.FileExists(file), false);

// A character above U+00FF is a script error, and the file keeps its content.
check("write old", external.WriteFileContent(file, "old"), true);
check("unwritable text", errorOf(function () { external.WriteFileContent(file, "a\u0100b"); }),
      "error 80070459");
check("file kept", external.ReadFileContent(file), "old");
check("text cut at NUL", (external.WriteFileContent(file, "ab\0\u0100"),
                          external.ReadFileContent(file)), "ab");
check("latin-1 text", (external.WriteFileContent(file, "caf\u00E9"),
                       external.readfilecontent(file)), "caf\u00E9");

// Existence tests and moves.
check("pattern found by name search", external.FileExist(dir + "\\*.txt"), true);
check("pattern is no path", external.FileExists(dir + "\\*.txt"), false);
check("directory", external.DirectoryExist(dir), true);
check("move", external.MoveFile(file, dir + "\\b.txt"), true);
check("moved", external.FileExist(dir + "\\b.txt") && !external.FileExist(file), true);
check("one too few", errorOf(function () { external.MoveFile(file); }), "error 8002000F");

// Configuration files: numbers arrive as their text.
var ini = dir + "\\c.ini";
check("write config", external.WriteConfig(ini, "S", 5, 12), true);
check("read config", external.ReadConfig(ini, "S", "5"), "12");
check("missing value", external.ReadConfig(ini, "S", "none"), "");

// Registry: true for an I4 arrives as -1; a failed number read gives 0.
var key = "HKEY_CURRENT_USER\\Software\\MiravoltTest\\Script";
check("write int", external.RegWriteInt(key, "n", true), true);
check("read int", external.RegReadInt(key, "n"), -1);
check("write string", external.RegWriteString(key, "s", "text"), true);
check("read string", external.regreadstring(key, "s"), "text");
check("string is no number", external.RegReadInt(key, "s"), 0);
check("short root", external.RegWriteString("HKCU\\Software\\MiravoltTest", "s", "x"), false);

check("delete work folder", external.DeleteDirectory(dir), true);
check("work folder gone", external.DirectoryExist(dir), false);
done();
