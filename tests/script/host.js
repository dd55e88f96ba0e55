// The headless host: external and window.external are the window's dispatch object, print
// writes lines, pump runs the message loop.
// stdout: ^line one$
// stdout: ^all checks passed$
print("line one");
check("window.external is external", window.external === external, true);
check("typeof external", typeof external, "object");
var before = new Date().getTime();
pump(50);
check("pump returns", new Date().getTime() - before >= 0, true);
pump(-5);
check("unknown name", errorOf(function () { external.NoSuchMethod(); }), "error 800A01B6");
done();
