// The identity and report services as page script sees them: values, letter case, argument
// counts and conversions. Reports go to a closed loopback port and are lost quietly.
// class: page
// stdout: ^all checks passed$

check("default version", external.GetVersion(), "1.0");
check("default source", external.getsourceid(), "0");
check("install date", /^\d{4}-\d{2}-\d{2}$/.test(external.GetInstallDate()), true);
check("not the fallback date", external.GetInstallDate() !== "1990-04-12", true);
check("client ID", /^([0-9A-F]{12})?$/.test(external.GETCLIENTID()), true);

check("InitReport", external.InitReport(3, "ch", "UA-1", "https://127.0.0.1:1/report", false),
      undefined);
check("version as text", external.GetVersion(), "3");
check("source as given", external.GetSourceID(), "ch");
check("one too few", errorOf(function () { external.InitReport("a", "b", "c", "d"); }),
      "error 8002000F");
check("one too many", errorOf(function () { external.ReportWait(1); }), "error 8002000E");

check("StartReport", external.StartReport("open", "a b&c"), undefined);
check("StartReportZh", external.startreportzh("\u4e2d\u6587", 12), undefined);
check("ReportWait", external.ReportWait(), undefined);
done();
