<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>CDlgAboutBrelt</name>
    <message>
        <source>关于OrlatCenter</source>
        <translation>About OrlatCenter</translation>
    </message>
    <message>
        <source>示例绘图设备有限公司</source>
        <translation>Example Plotting Equipment Co., Ltd.</translation>
    </message>
    <message>
        <source>发布日期：2026年12月10日</source>
        <translation>Release date: 10 December 2026</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
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
    <name>CDlgGetPwd</name>
    <message>
        <source>输入</source>
        <translation>Input</translation>
    </message>
    <message>
        <source>请输入密码:</source>
        <translation>Please enter the password:</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>CDlgPara</name>
    <message>
        <source>机器设置</source>
        <translation>Machine Settings</translation>
    </message>
    <message>
        <source>喷墨参数</source>
        <translation>Printing Parameters</translation>
    </message>
    <message>
        <source>只绘不切</source>
        <translation>Print only, no cutting</translation>
    </message>
    <message>
        <source>绘切割线</source>
        <translation>Print the cut lines</translation>
    </message>
    <message>
        <source>启用1#喷头</source>
        <translation>Use head 1</translation>
    </message>
    <message>
        <source>启用2#喷头</source>
        <translation>Use head 2</translation>
    </message>
    <message>
        <source>开始打印前清洗喷头</source>
        <translation>Clean the heads before printing</translation>
    </message>
    <message>
        <source>每段开始清洗喷头</source>
        <translation>Clean the heads at each section</translation>
    </message>
    <message>
        <source>喷前清洗浓度(1~5)</source>
        <translation>Cleaning strength (1~5)</translation>
    </message>
    <message>
        <source>绘图线宽(1~5)</source>
        <translation>Line width (1~5)</translation>
    </message>
    <message>
        <source>2#喷头位置(100~250栅格)</source>
        <translation>Head 2 position (100~250 dots)</translation>
    </message>
    <message>
        <source>来回校正(0~10栅格)</source>
        <translation>Bidirectional correction (0~10 dots)</translation>
    </message>
    <message>
        <source>1#2#喷头X向重合点数(0~10)</source>
        <translation>Overlap of heads 1 and 2 in X (0~10 rows)</translation>
    </message>
    <message>
        <source>喷墨时进纸速度(1~3)</source>
        <translation>Paper feed speed while printing (1~3)</translation>
    </message>
    <message>
        <source>切割参数</source>
        <translation>Cutting Parameters</translation>
    </message>
    <message>
        <source>切割方式(0-不减速 1-减速抬刀)</source>
        <translation>Cutting mode (0 full speed, 1 slow down and lift)</translation>
    </message>
    <message>
        <source>切割速度(1~5)</source>
        <translation>Cutting speed (1~5)</translation>
    </message>
    <message>
        <source>全刀刀压(10~90)</source>
        <translation>Full cut pressure (10~90)</translation>
    </message>
    <message>
        <source>半刀刀压(1~90)</source>
        <translation>Half cut pressure (1~90)</translation>
    </message>
    <message>
        <source>全刀切割长度(20~100)(mm)</source>
        <translation>Full cut length (20~100 mm)</translation>
    </message>
    <message>
        <source>X向半刀切割长度(0.1~3.0)(mm)</source>
        <translation>Half cut length in X (0.1~3.0 mm)</translation>
    </message>
    <message>
        <source>Y向半刀切割长度(0.1~3.0)(mm)</source>
        <translation>Half cut length in Y (0.1~3.0 mm)</translation>
    </message>
    <message>
        <source>裁纸起点(mm)</source>
        <translation>Paper cut start (mm)</translation>
    </message>
    <message>
        <source>裁纸终点(mm)</source>
        <translation>Paper cut end (mm)</translation>
    </message>
    <message>
        <source>起刀，终刀补偿(0~2.0mm)</source>
        <translation>Knife start and end extension (0~2.0 mm)</translation>
    </message>
    <message>
        <source>其它参数</source>
        <translation>Other Parameters</translation>
    </message>
    <message>
        <source>X向1米实际输出(200~5000mm)</source>
        <translation>Actual output of 1 m in X (200~5000 mm)</translation>
    </message>
    <message>
        <source>Y向1米实际输出(200~5000mm)</source>
        <translation>Actual output of 1 m in Y (200~5000 mm)</translation>
    </message>
    <message>
        <source>分段预送纸长度(0~1000mm)</source>
        <translation>Paper pre-feed per section (0~1000 mm)</translation>
    </message>
    <message>
        <source>自动分页宽度(纸宽)(mm)</source>
        <translation>Page split width (paper width, mm)</translation>
    </message>
    <message>
        <source>机器实际长度(mm)</source>
        <translation>Usable machine length (mm)</translation>
    </message>
    <message>
        <source>起始点/右边距(0~1000mm)</source>
        <translation>Start point / right margin (0~1000 mm)</translation>
    </message>
    <message>
        <source>DXF文件单位(1,4,10,40,100,400,1000)</source>
        <translation>DXF file unit (1, 4, 10, 40, 100, 400, 1000)</translation>
    </message>
    <message>
        <source>绘图仪IP(修改后重启绘图仪生效);</source>
        <translation>Plotter IP (takes effect when the plotter restarts)</translation>
    </message>
    <message>
        <source>读取绘图文件时自动将外轮廓识别为切割线</source>
        <translation>Turn outer contours into cut lines when a plot file is read</translation>
    </message>
    <message>
        <source>自动将数据目录下的文件加入工作列表</source>
        <translation>Add the files of the data folders to the job list</translation>
    </message>
    <message>
        <source>文件加入列表后自动开始打印</source>
        <translation>Start printing as soon as a file joins the list</translation>
    </message>
    <message>
        <source>宽幅模式(分页前自动旋转)</source>
        <translation>Wide mode (rotate before splitting into pages)</translation>
    </message>
    <message>
        <source>自动删除列表中已经完成的项</source>
        <translation>Remove finished jobs from the list</translation>
    </message>
    <message>
        <source>数据目录1(0.0250mm)(常规)</source>
        <translation>Data folder 1 (0.0250 mm, usual)</translation>
    </message>
    <message>
        <source>数据目录2(0.0254mm)(专用)</source>
        <translation>Data folder 2 (0.0254 mm, special)</translation>
    </message>
    <message>
        <source>大多数CAD软件输出的绘图文件单位为0.0250mm, 请使用数据目录1; 某些软件输出的单位为0.0254mm(1mil), 请使用数据目录2.</source>
        <translation>Most CAD programs write plot files in units of 0.0250 mm: use data folder 1. Some write units of 0.0254 mm (1 mil): use data folder 2.</translation>
    </message>
    <message>
        <source>高级参数</source>
        <translation>Advanced...</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>截图保存</source>
        <translation>Save Screenshot</translation>
    </message>
</context>
<context>
    <name>CDlgProtectPara</name>
    <message>
        <source>高级参数</source>
        <translation>Advanced Parameters</translation>
    </message>
    <message>
        <source>高级喷墨参数</source>
        <translation>Advanced Printing Parameters</translation>
    </message>
    <message>
        <source>双向打印</source>
        <translation>Bidirectional printing</translation>
    </message>
    <message>
        <source>1#喷头左右两列距离(20~40栅格)</source>
        <translation>Head 1 column spacing (20~40 dots)</translation>
    </message>
    <message>
        <source>2#喷头左右两列距离(20~40栅格)</source>
        <translation>Head 2 column spacing (20~40 dots)</translation>
    </message>
    <message>
        <source>喷墨加速距离(30~100mm)</source>
        <translation>Printing acceleration distance (30~100 mm)</translation>
    </message>
    <message>
        <source>喷墨间隔脉冲数</source>
        <translation>Pulses between printed columns</translation>
    </message>
    <message>
        <source>小车板软件版本(0~2)</source>
        <translation>Carriage board software version (0~2)</translation>
    </message>
    <message>
        <source>2#喷头位置(0-靠右，1-靠左)</source>
        <translation>Head 2 side (0 right, 1 left)</translation>
    </message>
    <message>
        <source>高级切割参数</source>
        <translation>Advanced Cutting Parameters</translation>
    </message>
    <message>
        <source>喷切重合(X)(0.0~10.0)(mm)</source>
        <translation>Print and cut overlap in X (0.0~10.0 mm)</translation>
    </message>
    <message>
        <source>喷切重合(Y)(0.0~10.0)(mm)</source>
        <translation>Print and cut overlap in Y (0.0~10.0 mm)</translation>
    </message>
    <message>
        <source>切割分段(喷多少次切割一段)</source>
        <translation>Cut section (bands printed per cut)</translation>
    </message>
    <message>
        <source>角度补偿(0~2)(mm)</source>
        <translation>Corner compensation (0~2 mm)</translation>
    </message>
    <message>
        <source>齿轮比调整</source>
        <translation>Gear Ratio</translation>
    </message>
    <message>
        <source>走纸轴每mm脉冲数(30~200)</source>
        <translation>Feed axis pulses per mm (30~200)</translation>
    </message>
    <message>
        <source>小车轴每mm脉冲数(30~200)</source>
        <translation>Carriage axis pulses per mm (30~200)</translation>
    </message>
    <message>
        <source>修改齿轮比</source>
        <translation>Change Gear Ratio</translation>
    </message>
    <message>
        <source>恢复默认</source>
        <translation>Restore Defaults</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>截图保存</source>
        <translation>Save Screenshot</translation>
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
        <translation>Plot unit</translation>
    </message>
    <message>
        <source>下次打开plt时不弹出此对话框</source>
        <translation>Do not show this dialog the next time a plt file is opened</translation>
    </message>
    <message>
        <source>提示:
    对于大多数CAD软件输出的plt, 1个数据单位代表0.0250mm, 这里应该选择“0.0250mm(常规)” 但某些软件(如格博)输出的plt, 1个数据单位代表1mil(即0.0254mm), 这里应该选择“0.0254mm” 如果选择了不合适的绘图单位, 会导致输出的图形尺寸有偏差.</source>
        <translation>Note:
    In the plt files of most CAD programs one data unit is 0.0250 mm: choose “0.0250mm” here. In the plt files of some programs (Gerber, for example) one data unit is 1 mil (0.0254 mm): choose “0.0254mm” here. A wrong plot unit prints the drawing at the wrong size.</translation>
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
<context>
    <name>CMainFrame</name>
    <message>
        <source>工具栏</source>
        <translation>Toolbar</translation>
    </message>
</context>
<context>
    <name>CMyDlgBar</name>
    <message>
        <source>机器状态</source>
        <translation>Machine State</translation>
    </message>
    <message>
        <source>自动脱机</source>
        <translation>Auto offline</translation>
    </message>
    <message>
        <source>控制:</source>
        <translation>Control</translation>
    </message>
</context>
<context>
    <name>FileFilter</name>
    <message>
        <source>All file(*.*)</source>
        <translation>All files (*.*)</translation>
    </message>
    <message>
        <source>立式切割机打印任务(*.orlattask)</source>
        <translation>Cutter Job List (*.orlattask)</translation>
    </message>
</context>
<context>
    <name>Menu</name>
    <message>
        <source>添加打印文件(plt,dxf)	(&amp;A)</source>
        <translation>&amp;Add Print File (plt, dxf)</translation>
    </message>
    <message>
        <source>打开调机文件	(&amp;T)</source>
        <translation>Open &amp;Test File</translation>
    </message>
    <message>
        <source>打开保存的工作列表	(&amp;O)</source>
        <translation>&amp;Open Saved Job List...</translation>
    </message>
    <message>
        <source>保存当前工作列表	(&amp;S)</source>
        <translation>&amp;Save Job List</translation>
    </message>
    <message>
        <source>当前列表导出为plt	(&amp;E)</source>
        <translation>&amp;Export List as PLT...</translation>
    </message>
    <message>
        <source>退出	(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>简体中文	(&amp;C)</source>
        <translation>简体中文(&amp;C)</translation>
    </message>
    <message>
        <source>English	(&amp;E)</source>
        <translation>&amp;English</translation>
    </message>
    <message>
        <source>USB</source>
        <translation>USB</translation>
    </message>
    <message>
        <source>网线</source>
        <translation>Ethernet</translation>
    </message>
    <message>
        <source>连接方式</source>
        <translation>Connection</translation>
    </message>
    <message>
        <source>参数	(&amp;P)</source>
        <translation>&amp;Parameters...</translation>
    </message>
    <message>
        <source>绘图单位	(&amp;U)</source>
        <translation>Plot &amp;Unit...</translation>
    </message>
    <message>
        <source>关于 OrlatCenter(&amp;A)...</source>
        <translation>&amp;About OrlatCenter...</translation>
    </message>
    <message>
        <source>文件(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>Language(&amp;L)</source>
        <translation>&amp;Language</translation>
    </message>
    <message>
        <source>设置(&amp;S)</source>
        <translation>&amp;Settings</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>自动</source>
        <translation>Auto</translation>
    </message>
    <message>
        <source>手动</source>
        <translation>Manual</translation>
    </message>
    <message>
        <source>已完成</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>State</translation>
    </message>
    <message>
        <source>修改份数</source>
        <translation>Change Copies...</translation>
    </message>
    <message>
        <source>修改起始位置</source>
        <translation>Change Start Position...</translation>
    </message>
    <message>
        <source>移至最前</source>
        <translation>Move to Top</translation>
    </message>
    <message>
        <source>删除“已完成”</source>
        <translation>Delete Done Jobs</translation>
    </message>
    <message>
        <source>删除	DEL</source>
        <translation>Delete	Del</translation>
    </message>
    <message>
        <source>工作列表</source>
        <translation>Job List</translation>
    </message>
    <message>
        <source>喷墨数据</source>
        <translation>Printing Data</translation>
    </message>
    <message>
        <source>切割数据</source>
        <translation>Cutting Data</translation>
    </message>
    <message>
        <source>全选</source>
        <translation>Select All</translation>
    </message>
    <message>
        <source>识别图形外轮廓</source>
        <translation>Find Outer Contours</translation>
    </message>
    <message>
        <source>转换为绘图	(Ctrl+1)</source>
        <translation>Convert to Printing	Ctrl+1</translation>
    </message>
    <message>
        <source>转换为切割	(Ctrl+2)</source>
        <translation>Convert to Cutting	Ctrl+2</translation>
    </message>
    <message>
        <source>旋转90度</source>
        <translation>Rotate 90°</translation>
    </message>
    <message>
        <source>Y向(纸宽方向)手动分页</source>
        <translation>Split into Pages in Y (Paper Width)...</translation>
    </message>
    <message>
        <source>图形平移至左下角</source>
        <translation>Move Drawing to Lower Left</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>删除所选	(DEL)</source>
        <translation>Delete Selected	Del</translation>
    </message>
    <message>
        <source>预览</source>
        <translation>Preview</translation>
    </message>
    <message>
        <source>添加打印文件(plt,dxf)
添加打印文件(plt,dxf)</source>
        <translation>Add a print file (plt, dxf)
Add print file (plt, dxf)</translation>
    </message>
    <message>
        <source>导出列表为plt文件
导出为plt</source>
        <translation>Export the list as one PLT file
Export as PLT</translation>
    </message>
    <message>
        <source>放大
放大</source>
        <translation>Zoom in
Zoom in</translation>
    </message>
    <message>
        <source>缩小
缩小</source>
        <translation>Zoom out
Zoom out</translation>
    </message>
    <message>
        <source>适合屏幕
适合屏幕</source>
        <translation>Fit the drawing to the window
Fit to window</translation>
    </message>
    <message>
        <source>设置机器参数
设置机器参数</source>
        <translation>Set the machine parameters
Machine parameters</translation>
    </message>
    <message>
        <source>隐藏窗口
隐藏窗口</source>
        <translation>Hide the window in the system tray
Hide window</translation>
    </message>
    <message>
        <source>就绪</source>
        <translation>Ready</translation>
    </message>
    <message>
        <source>Türkçe	(&amp;T)</source>
        <translation>&amp;Türkçe</translation>
    </message>
</context>
</TS>
