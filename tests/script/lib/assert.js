// Shared checks for page-script tests; prepended to every test file by the runner.
var failures = 0;

function show(value) {
  return typeof value === "string" ? '"' + value + '"' : String(value);
}

// Records a failure when got differs from want (strict comparison).
function check(name, got, want) {
  if (got !== want) {
    failures++;
    print("FAIL " + name + ": got " + show(got) + ", want " + show(want));
  }
}

// "ok" when f runs, else "error " and the error's number in upper-case hex.
function errorOf(f) {
  try {
    f();
    return "ok";
  } catch (e) {
    return "error " + (e.number >>> 0).toString(16).toUpperCase();
  }
}

// Ends the test: an error escapes when any check failed.
function done() {
  if (failures) throw new Error(failures + " check(s) failed");
  print("all checks passed");
}
