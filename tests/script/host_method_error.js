// A method's error that escapes carries its code into the error line.
// exit: 1
// stderr: ^script error 0x800A01B6: .+
external.NoSuchMethod();
