#!/usr/bin/env python3
"""Writes the seed corpus in fuzz/corpus/: a few request sequences in the
driver's byte format (see PlugMainFuzzer.cpp) that reach every kind of
request, so the fuzzer starts from whole host sessions, not from nothing."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def op(code, instance=0, null_input=False):
    return bytes([code, instance | (0x80 if null_input else 0)])


def u32(value):
    return struct.pack('<I', value)


def index(i):
    return bytes([i]) if i < 32 else b'\xff' + u32(i)


def number(value):
    """A float the reader decodes exactly: 0, 1, 0.5 or a whole number."""
    table = {0.0: 0, 1.0: 1, -1.0: 2, 0.5: 3}
    if value in table:
        return bytes([table[value]])
    return b'\xff' + struct.pack('<i', int(value))


def size(n):
    return bytes([n // 3]) if n % 3 == 0 and n // 3 < 0xF0 else b'\xff' + u32(n)


def viewport(width, height):
    return size(0) + size(0) + size(width) + size(height)


def text(s):
    return bytes([len(s)]) + s.encode()


def frame(inputs=0):
    return op(17, 1) + bytes([inputs]) + b'\x00' * inputs


def queries(params):
    out = op(0) + op(13) + op(4) + op(33) + op(34)
    for i in range(params):
        out += op(5) + index(i) + op(6) + index(i) + op(15) + index(i) + op(32) + index(i)
        out += op(31) + index(i) + op(45) + index(i) + op(47) + index(i) + op(41) + index(i)
        out += op(35) + index(i) + index(0) + op(36) + index(i) + index(1)
        out += op(50) + index(i) + bytes([8])
    out += op(10) + index(5) + op(10) + index(16) + op(42) + op(43) + index(0) + op(44) + index(0) + index(0)
    out += op(48) + index(0) + index(0) + op(2)
    return out


def host_state():
    return (op(20, 1) + b'\x01' + op(38, 1) + number(1) + number(0.5) + op(39, 1) + text('host') + text('1.0')
            + op(40, 1) + size(48000) + op(21, 1) + op(22, 1) + op(16, 1) + index(0) + op(46, 1) + bytes([4])
            + op(49, 1) + index(16) + op(51, 1) + index(0) + bytes([16]) + op(37, 1) + index(0) + index(1) + number(0.5))


def write(target, name, data):
    with open(os.path.join(HERE, 'corpus', target, name), 'wb') as f:
        f.write(data)


def main():
    clock_params, qs_params = 13, 16
    write('clock', 'queries', queries(clock_params))
    write('clock', 'lifetime', op(34) + op(18) + viewport(64, 48) + frame() + op(7, 1) + index(2)
          + op(23, 1) + viewport(129, 96) + frame() + op(19, 1) + op(2))
    write('clock', 'host-state', op(18) + viewport(32, 32) + host_state() + frame() + op(9, 1) + index(0) + op(19, 1))
    digital = op(18) + viewport(640, 360)
    for display in (2, 3, 1, 0):
        digital += op(8, 1) + index(0) + number(display) + frame()
    digital += op(8, 1) + index(6) + number(1) + op(8, 1) + index(10) + number(-5) + frame()
    digital += op(23, 1) + viewport(1920, 1080) + frame() + op(19, 1)
    write('clock', 'digital', digital)
    write('clock', 'two-instances', op(18) + viewport(30, 30) + op(18) + viewport(60, 30) + frame() + op(17, 2) + b'\x00'
          + op(19, 2) + op(19, 1))

    write('quickstart', 'queries', queries(qs_params))
    session = op(18) + viewport(48, 48) + host_state() + frame(1)
    session += op(8, 1) + index(14) + text('a label') + op(9, 1) + index(14) + op(7, 1) + index(14)
    for element in range(4):
        session += op(37, 1) + index(15) + index(element) + number(1)
    session += op(8, 1) + index(3) + number(1) + op(8, 1) + index(11) + number(2) + frame(1) + frame(1)
    session += op(7, 1) + index(12) + op(46, 1) + bytes([8]) + op(19, 1)
    write('quickstart', 'session', session)
    write('quickstart', 'inputs', op(18) + viewport(16, 16) + frame(0) + frame(2) + frame(3) + op(19, 1))


if __name__ == '__main__':
    main()
