<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>CDlgGetIntInput</name>
    <message>
        <source>输入</source>
        <translation>Input</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>CDlgSetPltUnit</name>
    <message>
        <source>PLT文件单位</source>
        <translation>PLT File Unit</translation>
    </message>
    <message>
        <source>绘图单位 </source>
        <translation>Plot unit </translation>
    </message>
    <message>
        <source>下次打开plt时不弹出此对话框</source>
        <translation>Do not show this dialog the next time a plt file is opened</translation>
    </message>
    <message>
        <source>提示:
    对于大多数CAD软件输出的plt, 1个数据单位代表0.0250mm, 这里应该选择“0.0250mm(常规)” 但某些软件(如格博)输出的plt, 1个数据单位代表1mil(即0.0254mm), 这里应该选择“0.0254mm” 如果选择了不合适的绘图单位, 会导致输出的图形尺寸有偏差.</source>
        <translation>Hint:
    In the plt files of most CAD programs one data unit is 0.0250 mm: choose “0.0250mm” here. In the plt files of some programs (such as Gerber) one data unit is 1 mil (0.0254 mm): choose “0.0254mm” here. A wrong plot unit makes the output the wrong size.</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
</TS>
