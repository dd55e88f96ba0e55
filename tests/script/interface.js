// The script interface of a scripted window: names in any letter case, argument counts.
// class: page
check("exact case", typeof external.GetCommandLine(), "string");
check("lower case", external.getcommandline(), external.GetCommandLine());
check("upper case", external.GETCOMMANDLINE(), external.GetCommandLine());
check("one too many", errorOf(function () { external.GetCommandLine(1); }), "error 8002000E");
done();
