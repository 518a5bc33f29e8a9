import os, struct, subprocess, sys
SETTERS = {'dec','thou','dsep','tsep','sdf','ldf','stf','ltf','am','pm'}
def h(x): return '%016X' % (struct.unpack('<q', struct.pack('<d', x))[0] & 0xFFFFFFFFFFFFFFFF)
def fromh(s): return struct.unpack('<d', struct.pack('<q', int(s, 16) - (1<<64 if int(s,16) >= 1<<63 else 0)))[0]
US = [('dec','.'),('thou',','),('dsep','/'),('tsep',':'),('sdf','m/d/yyyy'),('ldf','dddd, mmmm d, yyyy'),('stf','h:mm AMPM'),('ltf','h:mm:ss AMPM'),('am','AM'),('pm','PM')]
DE = [('dec',','),('thou','.'),('dsep','.'),('tsep',':'),('sdf','dd.mm.yyyy'),('ldf','dddd, d. mmmm yyyy'),('stf','hh:nn'),('ltf','hh:nn:ss')]
def run(cmds):
    inp = ''.join('%s|%s\n' % c for c in cmds)
    out = subprocess.run([os.path.join(os.path.dirname(os.path.abspath(__file__)), 'oracle')], input=inp.encode('utf-8'), capture_output=True).stdout.decode('utf-8').splitlines()
    res = []; i = 0
    for c in cmds:
        if c[0] in SETTERS: continue
        res.append((c, out[i])); i += 1
    return res
if __name__ == '__main__':
    pass
