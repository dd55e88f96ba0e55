// A plain page window offers no services.
// class: base
check("service not found", errorOf(function () { external.GetCommandLine(); }), "error 800A01B6");
done();
