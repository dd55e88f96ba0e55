// A script that does not compile ends the host with exit code 1 and the error line.
// no-lib
// exit: 1
// stderr: ^script error 0x[0-9A-F]{8}: 
var x = ;
