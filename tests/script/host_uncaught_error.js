// An error that escapes the script ends the host with exit code 1 and the error line.
// exit: 1
// stdout: ^before$
// stderr: ^script error 0x[0-9A-F]{8}: boom$
print("before");
throw new Error("boom");
print("never");
