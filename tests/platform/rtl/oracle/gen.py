from ora import *
import random, struct, math
SETS = {'Us': US + [('sdf','m/d/yyyy'),('dsep','/')], 'De': DE + [('am','AM'),('pm','PM')]}
def q(s):  # C++ string literal (UTF-8)
    return '"' + s.replace('\\', '\\\\').replace('"', '\\"').replace('\t', '\\t') + '"'
def num(x):
    if math.isnan(x): return 'std::numeric_limits<double>::quiet_NaN()'
    if math.isinf(x): return ('' if x > 0 else '-') + 'std::numeric_limits<double>::infinity()'
    r = repr(x)
    if r == '-0.0': return '-0.0'
    if 'e' not in r and '.' not in r: r += '.0'
    return r
def one(settings, cmd):
    return run(SETS[settings] + [cmd])[0][1]
out = []
# ---- FloatToStr
F = [('Zero', 'Us', 0.0), ('NegativeZero', 'Us', -0.0), ('PointOnePlusPointTwo', 'Us', 0.1+0.2), ('OneThird', 'Us', 1/3),
     ('OneE20', 'Us', 1e20), ('NegativeTiny', 'Us', -2.5e-10), ('EighteenDigitInteger', 'Us', 123456789012345678.0),
     ('FifteenNines', 'Us', 999999999999999.0), ('OneE15', 'Us', 1e15), ('RoundsUpToOneE15', 'Us', 999999999999999.9),
     ('FifteenDigitInteger', 'Us', 123456789012345.0), ('SixteenDigitInteger', 'Us', 1234567890123456.0),
     ('OnePointFiveEMinus7', 'Us', 1.5e-7), ('OneEMinus5StaysFixed', 'Us', 1e-5), ('BelowOneEMinus5', 'Us', 9.9e-6),
     ('OneSeventh', 'Us', 1/7), ('TwoThirds', 'Us', 2/3), ('SmallestDenormal', 'Us', 5e-324), ('Denormal', 'Us', 1e-310),
     ('LargestDouble', 'Us', 1.7976931348623157e308), ('TieRoundsAwayFromZero', 'Us', 1000000000000025.0),
     ('HalfAtFifteenDigitsRoundsUp', 'Us', 100000000000000.5), ('SeventeenDigitsDecideTheRounding', 'Us', 9.883447461352235),
     ('TwoPointSixSevenFive', 'Us', 2.675), ('NegativeLarge', 'Us', -1e20), ('MinusTwoPow63', 'Us', -2.0**63),
     ('PlusInfinity', 'Us', float('inf')), ('MinusInfinity', 'Us', float('-inf')), ('NotANumber', 'Us', float('nan')),
     ('CommaDecimal', 'De', 2.5), ('CommaDecimalExponent', 'De', -2.5e-10), ('CommaPointOnePlusPointTwo', 'De', 0.1+0.2)]
rows = []
for name, s, v in F:
    o = one(s, ('floattostr', h(v)))
    rows.append('    {"%s", k%s, %s, %s},' % (name, s, num(v), q(o[1:-1])))
out.append('FLOATTOSTR\n' + '\n'.join(rows))
# random sample
random.seed(11)
vals = []
for i in range(60):
    k = i % 3
    if k == 0: vals.append(random.uniform(-1e6, 1e6))
    elif k == 1: vals.append(random.uniform(1,10) * 10.0**random.randint(-30, 30))
    else: vals.append(struct.unpack('<d', struct.pack('<Q', random.getrandbits(64)))[0])
vals = [v for v in vals if math.isfinite(v)]
r = run(SETS['Us'] + [('floattostr', h(v)) for v in vals])
out.append('FLOATSAMPLE\n' + '\n'.join('    {%s, %s},' % (num(fromh(c[1])), q(o[1:-1])) for c, o in r))
# ---- StrToFloat
S = [('Plain', 'Us', '1.5'), ('BlanksAround', 'Us', ' 1.5\t'), ('Exponent', 'Us', '1e3'), ('SignedExponent', 'Us', '-2.5E-10'),
     ('LeadingPoint', 'Us', '.5'), ('TrailingPoint', 'Us', '5.'), ('PointBeforeExponent', 'Us', '1.e5'), ('PlusSign', 'Us', '+1.5'),
     ('MinusZero', 'Us', '-0'), ('LeadingZeros', 'Us', '00012'), ('TwentyDigits', 'Us', '12345678901234567890'),
     ('PointOne', 'Us', '0.1'), ('LargestDouble', 'Us', '1.7976931348623157e308'), ('Denormal', 'Us', '4.9e-324'),
     ('UnderflowIsZero', 'Us', '1e-400'),
     ('CommaRejectedWithPoint', 'Us', '1,5'), ('Empty', 'Us', ''), ('Blank', 'Us', ' '), ('LoneMinus', 'Us', '-'),
     ('ExponentWithoutDigits', 'Us', '1e'), ('ThousandSeparator', 'Us', '1,000.5'), ('TwoPoints', 'Us', '1.2.3'),
     ('Hex', 'Us', '0x10'), ('Dollar', 'Us', '$10'), ('Letters', 'Us', 'abc'), ('TrailingGarbage', 'Us', '1.5x'),
     ('BlankInside', 'Us', '1 000'), ('DoubleSign', 'Us', '--1'), ('FractionalExponent', 'Us', '1e5.5'),
     ('FullWidthDigit', 'Us', '１'), ('Infinity', 'Us', 'Infinity'),
     ('CommaDecimal', 'De', '1,5'), ('CommaExponentBlanks', 'De', ' 1,5e3 '), ('CommaLeading', 'De', ',5'),
     ('CommaTrailing', 'De', '1,'), ('PointRejectedWithComma', 'De', '1.5'), ('GroupedRejected', 'De', '1.000,5'),
     ('TwoCommas', 'De', '1,5,5')]
rows = []
for name, s, t in S:
    o = one(s, ('strtofloat', t))
    if o.startswith('OK'):
        rows.append('    {"%s", k%s, %s, true, %s},' % (name, s, q(t), num(fromh(o.split()[1]))))
    else:
        rows.append('    {"%s", k%s, %s, false, 0},' % (name, s, q(t)))
out.append('STRTOFLOAT\n' + '\n'.join(rows))
# ---- StrToCurr
S = [('Plain', 'Us', '1.5'), ('FourDecimals', 'Us', '1.2345'), ('FifthHalfRoundsToEvenUp', 'Us', '1.23455'),
     ('FifthHalfRoundsToEvenDown', 'Us', '1.23445'), ('BelowHalf', 'Us', '1.234549'), ('HalfOfSmallestToZero', 'Us', '0.00005'),
     ('HalfOfSmallestToTwo', 'Us', '0.00015'), ('TwoAndAHalfToTwo', 'Us', '0.00025'), ('NegativeHalf', 'Us', '-0.00015'),
     ('NegativeRoundsToEven', 'Us', '-1.00005'), ('Maximum', 'Us', '922337203685477.5807'), ('Minimum', 'Us', '-922337203685477.5808'),
     ('AboveMaximum', 'Us', '922337203685477.5808'), ('BelowMinimum', 'Us', '-922337203685477.5809'), ('Exponent', 'Us', '1.5e2'),
     ('ExponentNearLimit', 'Us', '9.2e14'), ('ExponentOverflow', 'Us', '1e15'), ('ExponentTiny', 'Us', '1e-5'),
     ('BlanksAround', 'Us', ' 12.5 '), ('ManyDecimals', 'Us', '123456789012.34567'), ('RoundsToOne', 'Us', '0.99999'),
     ('TwentyDigits', 'Us', '12345678901234567890'), ('Empty', 'Us', ''), ('Letters', 'Us', 'abc'), ('Nan', 'Us', 'nan'),
     ('CommaRejectedWithPoint', 'Us', '1,5'), ('CommaDecimal', 'De', '1,5'), ('PointRejectedWithComma', 'De', '1.5'),
     ('GroupedRejected', 'De', '1.000,25')]
rows = []
for name, s, t in S:
    o = one(s, ('strtocurr', t))
    if o.startswith('OK'): rows.append('    {"%s", k%s, %s, true, %sLL},' % (name, s, q(t), o.split()[1]))
    else: rows.append('    {"%s", k%s, %s, false, 0},' % (name, s, q(t)))
out.append('STRTOCURR\n' + '\n'.join(rows))
S = [('Zero', 'Us', 0), ('SmallestUnit', 'Us', 1), ('MinusSmallestUnit', 'Us', -1), ('One', 'Us', 10000), ('OnePointFive', 'Us', 15000),
     ('FourDecimals', 'Us', -12345), ('Maximum', 'Us', 9223372036854775807), ('Minimum', 'Us', -9223372036854775808),
     ('NoExponentForLarge', 'Us', 100000000000000000), ('NineteenDigits', 'Us', 1234567890123456789), ('CommaDecimal', 'De', -12345)]
rows = []
for name, s, v in S:
    o = one(s, ('curr', str(v)))
    lit = '-9223372036854775807LL - 1' if v == -9223372036854775808 else '%dLL' % v
    rows.append('    {"%s", k%s, %s, %s},' % (name, s, lit, q(o[1:-1])))
out.append('CURRTOSTR\n' + '\n'.join(rows))
open('gen1.txt', 'w').write('\n\n'.join(out))
